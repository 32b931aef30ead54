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

bool FakeUiServices::Ask(QWidget*, const QString&, const QString& text) {
    questions.push_back(text);
    return answer;
}

bool FakeUiServices::ChooseSaveFile(QWidget*, const QString&, const QString& suggested, const QStringList& filters,
                                    QString& chosen, QString& filter) {
    return onSaveFile && onSaveFile(suggested, filters, chosen, filter);
}

}  // namespace lazrine::testing
