#include "FakeUiServices.h"

#include <QDialog>

namespace lazrine::testing {

void FakeUiServices::Information(QWidget*, const QString& caption, const QString& text) {
    messages.push_back({false, caption, text, QString()});
    if (onMessage) {
        onMessage(messages.back());
    }
}

void FakeUiServices::Error(QWidget*, const QString& caption, const QString& text) {
    messages.push_back({true, caption, text, QString()});
    if (onMessage) {
        onMessage(messages.back());
    }
}

void FakeUiServices::ErrorWithDetail(QWidget*, const QString& caption, const QString& text,
                                     const QString& detail) {
    messages.push_back({true, caption, text, detail});
    if (onMessage) {
        onMessage(messages.back());
    }
}

bool FakeUiServices::ChooseOpenFile(QWidget*, const QString& title, const QString& folder,
                                    const QStringList& filters, QString& chosen) {
    fileRequests.push_back({title, folder, filters});
    if (chosenFiles.empty()) {
        return false;
    }
    chosen = chosenFiles.front();
    chosenFiles.pop_front();
    return !chosen.isEmpty();
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
