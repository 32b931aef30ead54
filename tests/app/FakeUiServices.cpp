#include "FakeUiServices.h"

#include <QDialog>
#include <QFile>

#include "app/QtUiServices.h"

namespace lazrine::testing {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }
QString Name(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }

}  // namespace

void FakeUiServices::Information(const std::string& caption, const std::string& text) {
    messages.push_back({false, Text(caption), Text(text), QString()});
    if (onMessage) {
        onMessage(messages.back());
    }
}

void FakeUiServices::Error(const std::string& caption, const std::string& text) {
    messages.push_back({true, Text(caption), Text(text), QString()});
    if (onMessage) {
        onMessage(messages.back());
    }
}

void FakeUiServices::ErrorWithDetail(const std::string& caption, const std::string& text, const std::string& detail) {
    messages.push_back({true, Text(caption), Text(text), Text(detail)});
    if (onMessage) {
        onMessage(messages.back());
    }
}

bool FakeUiServices::ChooseOpenFile(const std::string& title, const std::string& folder,
                                    const std::vector<session::FileFilter>& filters, std::string& chosen) {
    fileRequests.push_back({Text(title), Name(folder), app::QtUiServices::FilterTexts(filters)});
    if (chosenFiles.empty()) {
        return false;
    }
    chosen = QFile::encodeName(chosenFiles.front()).toStdString();
    chosenFiles.pop_front();
    return !chosen.empty();
}

int FakeUiServices::Exec(QDialog& dialog) {
    ++execCount;
    dialog.setResult(QDialog::Rejected);
    if (onExec) {
        onExec(dialog);
    }
    return dialog.result();
}

bool FakeUiServices::OpenUrl(const std::string& url) {
    urls.push_back(QUrl(Text(url)));
    return true;
}

bool FakeUiServices::Ask(const std::string&, const std::string& text) {
    questions.push_back(Text(text));
    return answer;
}

bool FakeUiServices::ChooseSaveFile(const std::string&, const std::string& suggested,
                                    const std::vector<session::FileFilter>& filters, std::string& chosen,
                                    std::size_t& filter) {
    const QStringList texts = app::QtUiServices::FilterTexts(filters);
    QString path;
    QString picked;
    if (!onSaveFile || !onSaveFile(Name(suggested), texts, path, picked)) {
        return false;
    }
    chosen = QFile::encodeName(path).toStdString();
    const auto index = texts.indexOf(picked);
    filter = index >= 0 ? static_cast<std::size_t>(index) : session::UiServices::kNoFilter;
    return true;
}

}  // namespace lazrine::testing
