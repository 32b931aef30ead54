#include "FakeWinUiServices.h"

namespace lazrine::testing {

void FakeWinUiServices::Information(const std::string& caption, const std::string& text) {
    Record({false, caption, text, {}});
}

void FakeWinUiServices::Error(const std::string& caption, const std::string& text) { Record({true, caption, text, {}}); }

void FakeWinUiServices::ErrorWithDetail(const std::string& caption, const std::string& text,
                                        const std::string& detail) {
    Record({true, caption, text, detail});
}

void FakeWinUiServices::Record(Message message) {
    messages.push_back(std::move(message));
    if (onMessage) {
        onMessage();
    }
}

bool FakeWinUiServices::Ask(const std::string& /*caption*/, const std::string& text) {
    questions.push_back(text);
    return answer;
}

bool FakeWinUiServices::ChooseOpenFile(const std::string& /*title*/, const std::string& /*folder*/,
                                       const std::vector<session::FileFilter>& /*filters*/, std::string& chosen) {
    if (openAnswers.empty()) {
        return false;
    }
    chosen = openAnswers.front();
    openAnswers.pop_front();
    return true;
}

bool FakeWinUiServices::ChooseSaveFile(const std::string& /*title*/, const std::string& proposal,
                                       const std::vector<session::FileFilter>& /*filters*/, std::string& chosen,
                                       std::size_t& filter) {
    suggested = proposal;
    if (saveAnswer.empty()) {
        return false;
    }
    chosen = saveAnswer;
    filter = 0;
    return true;
}

bool FakeWinUiServices::OpenUrl(const std::string& url) {
    urls.push_back(url);
    return true;
}

INT_PTR FakeWinUiServices::RunDialog(win::WinDialog& dialog, HWND owner) {
    ++dialogs;
    HWND hwnd = dialog.CreateModeless(owner);
    if (hwnd != nullptr && onDialog) {
        onDialog(hwnd);
    }
    dialog.Dismiss();
    return dialog.Result();
}

}  // namespace lazrine::testing
