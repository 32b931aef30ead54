#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "win/WinUiServices.h"

namespace lazrine::testing {

// Answers the window's message boxes and dialogs without a modal loop and
// records what was shown; records pages instead of opening them.
class FakeWinUiServices final : public win::WinUiServices {
public:
    struct Message {
        bool error = false;
        std::string caption;
        std::string text;
        std::string detail;
    };

    void Information(const std::string& caption, const std::string& text) override;
    void Error(const std::string& caption, const std::string& text) override;
    void ErrorWithDetail(const std::string& caption, const std::string& text, const std::string& detail) override;
    // Records the question and answers `answer`.
    bool Ask(const std::string& caption, const std::string& text) override;
    // Answers with the front of `openAnswers`; with none left, the user cancels.
    bool ChooseOpenFile(const std::string& title, const std::string& folder,
                        const std::vector<session::FileFilter>& filters, std::string& chosen) override;
    // Answers `saveAnswer` with the default type; empty: the user cancels.
    bool ChooseSaveFile(const std::string& title, const std::string& suggested,
                        const std::vector<session::FileFilter>& filters, std::string& chosen,
                        std::size_t& filter) override;
    bool OpenUrl(const std::string& url) override;
    // Opens the dialog modeless and hands it to `onDialog`, which may click
    // its buttons; a dialog still open afterwards is cancelled.
    INT_PTR RunDialog(win::WinDialog& dialog, HWND owner) override;

    std::vector<Message> messages;
    // Runs once a box was recorded, as if while the user reads it.
    std::function<void()> onMessage;
    std::vector<std::string> questions;
    bool answer = true;
    std::deque<std::string> openAnswers;
    std::string saveAnswer;
    std::string suggested;
    std::vector<std::string> urls;
    std::function<void(HWND dialog)> onDialog;
    int dialogs = 0;

private:
    void Record(Message message);
};

}  // namespace lazrine::testing
