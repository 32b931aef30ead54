#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lazrine::session {

// One type of file a file dialog offers: "vCard" with "*.vcf".
struct FileFilter {
    std::string szTitle;
    std::vector<std::string> patterns;

    // "vCard (*.vcf)", "Palm Desktop Database File (*.dat *.mdb)".
    std::string Text() const;
};

// Everything a window asks of the desktop that blocks or leaves the
// program: message boxes, file dialogs and opening web pages. A window
// reaches them only through this interface, whose texts are UTF-8 and whose
// file names are the file system's, so that each toolkit converts at its own
// boundary and tests answer without a modal loop and without a browser.
class UiServices {
public:
    static constexpr std::size_t kNoFilter = static_cast<std::size_t>(-1);

    virtual ~UiServices() = default;

    // A message box with the information icon and an OK button.
    virtual void Information(const std::string& caption, const std::string& text) = 0;
    // A message box with the error icon and an OK button.
    virtual void Error(const std::string& caption, const std::string& text) = 0;
    // The same with the reason under the main text.
    virtual void ErrorWithDetail(const std::string& caption, const std::string& text, const std::string& detail) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool Ask(const std::string& caption, const std::string& text) = 0;
    // The open-file dialog: an existing file, picked with `title` from
    // `folder` through one of `filters`. False when the user cancels;
    // otherwise `chosen` is the file's path.
    virtual bool ChooseOpenFile(const std::string& title, const std::string& folder,
                                const std::vector<FileFilter>& filters, std::string& chosen) = 0;
    // The save-file dialog: a file to write, proposed as `suggested`, of one
    // of the types `filters`. False when the user cancels; otherwise
    // `chosen` is the path and `filter` the index of the type picked
    // (kNoFilter when the dialog cannot tell).
    virtual bool ChooseSaveFile(const std::string& title, const std::string& suggested,
                                const std::vector<FileFilter>& filters, std::string& chosen, std::size_t& filter) = 0;
    // Opens a web page or a local document in the user's browser; false
    // when none could be opened.
    virtual bool OpenUrl(const std::string& url) = 0;
};

}  // namespace lazrine::session
