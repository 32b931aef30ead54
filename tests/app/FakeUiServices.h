#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>
#include <vector>

#include "app/UiServices.h"

namespace lazrine::testing {

// Answers the window's message boxes and dialogs without a modal loop and
// records what was shown, and records web pages instead of opening them.
class FakeUiServices final : public app::UiServices {
public:
    struct Message {
        bool error = false;
        QString caption;
        QString text;
        QString detail;
    };
    // One open-file dialog as it was asked for.
    struct FileRequest {
        QString title;
        QString folder;
        QStringList filters;
    };

    void Information(const std::string& caption, const std::string& text) override;
    void Error(const std::string& caption, const std::string& text) override;
    void ErrorWithDetail(const std::string& caption, const std::string& text, const std::string& detail) override;
    // Answers with the front of `chosenFiles` (an empty entry: the user
    // cancels); with none left, the user cancels.
    bool ChooseOpenFile(const std::string& title, const std::string& folder,
                        const std::vector<session::FileFilter>& filters, std::string& chosen) override;
    // Runs `onExec` on the dialog (which may click its buttons) and returns
    // the dialog's result; without `onExec` the dialog is rejected.
    int Exec(QDialog& dialog) override;
    bool OpenUrl(const std::string& url) override;
    // Records the question and answers `answer`.
    bool Ask(const std::string& caption, const std::string& text) override;
    // Answers with `onSaveFile` (which may set the path and the type, as
    // one of the filter texts); without it the dialog is cancelled.
    bool ChooseSaveFile(const std::string& title, const std::string& suggested,
                        const std::vector<session::FileFilter>& filters, std::string& chosen,
                        std::size_t& filter) override;

    std::vector<Message> messages;
    std::function<void(const Message&)> onMessage;
    std::function<void(QDialog&)> onExec;
    int execCount = 0;
    std::deque<QString> chosenFiles;
    std::vector<FileRequest> fileRequests;
    std::vector<QUrl> urls;
    std::vector<QString> questions;
    bool answer = true;
    std::function<bool(const QString& suggested, const QStringList& filters, QString& chosen, QString& filter)>
        onSaveFile;
};

}  // namespace lazrine::testing
