#include "FakeUiServices.h"

#include <QDialog>

namespace lazrine::testing {

void FakeUiServices::Information(QWidget*, const QString& caption, const QString& text) {
    messages.push_back({false, caption, text});
    if (onMessage) {
        onMessage(messages.back());
    }
}

void FakeUiServices::Error(QWidget*, const QString& caption, const QString& text) {
    messages.push_back({true, caption, text});
    if (onMessage) {
        onMessage(messages.back());
    }
}

int FakeUiServices::Exec(QDialog& dialog) {
    ++execCount;
    dialog.setResult(QDialog::Rejected);
    if (onExec) {
        onExec(dialog);
    }
    return dialog.result();
}

bool FakeUiServices::OpenUrl(const QUrl& url) {
    urls.push_back(url);
    return true;
}

}  // namespace lazrine::testing
