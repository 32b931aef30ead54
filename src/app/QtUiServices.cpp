#include "app/QtUiServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace lazrine::app {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }
QString Name(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }
std::string NameOf(const QString& name) { return QFile::encodeName(name).toStdString(); }

}  // namespace

QWidget* QtUiServices::Parent() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : QApplication::activeWindow();
}

QStringList QtUiServices::FilterTexts(const std::vector<session::FileFilter>& filters) {
    QStringList texts;
    for (const session::FileFilter& filter : filters) {
        texts << Text(filter.Text());
    }
    return texts;
}

void QtUiServices::Information(const std::string& caption, const std::string& text) {
    QMessageBox::information(Parent(), Text(caption), Text(text));
}

void QtUiServices::Error(const std::string& caption, const std::string& text) {
    QMessageBox::critical(Parent(), Text(caption), Text(text));
}

void QtUiServices::ErrorWithDetail(const std::string& caption, const std::string& text, const std::string& detail) {
    QMessageBox box(QMessageBox::Critical, Text(caption), Text(text), QMessageBox::Ok, Parent());
    box.setInformativeText(Text(detail));
    box.exec();
}

bool QtUiServices::Ask(const std::string& caption, const std::string& text) {
    return QMessageBox::question(Parent(), Text(caption), Text(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtUiServices::SetUpOpenDialog(QFileDialog& dialog, const QString& title, const QString& folder,
                                   const QStringList& filters) {
    dialog.setWindowTitle(title);
    dialog.setDirectory(folder);
    dialog.setNameFilters(filters);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The system dialogs of some desktops match patterns by letter case;
    // Qt's own matches in any case once the filter says so.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
}

bool QtUiServices::ChooseOpenFile(const std::string& title, const std::string& folder,
                                  const std::vector<session::FileFilter>& filters, std::string& chosen) {
    QFileDialog dialog(Parent());
    SetUpOpenDialog(dialog, Text(title), Name(folder), FilterTexts(filters));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    chosen = NameOf(dialog.selectedFiles().constFirst());
    return true;
}

bool QtUiServices::ChooseSaveFile(const std::string& title, const std::string& suggested,
                                  const std::vector<session::FileFilter>& filters, std::string& chosen,
                                  std::size_t& filter) {
    const QStringList texts = FilterTexts(filters);
    QString picked = texts.isEmpty() ? QString() : texts.front();
    const QString path = QFileDialog::getSaveFileName(Parent(), Text(title), Name(suggested),
                                                      texts.join(QStringLiteral(";;")), &picked);
    if (path.isEmpty()) {
        return false;
    }
    chosen = NameOf(path);
    const auto index = texts.indexOf(picked);
    filter = index >= 0 ? static_cast<std::size_t>(index) : kNoFilter;
    return true;
}

bool QtUiServices::OpenUrl(const std::string& url) { return QDesktopServices::openUrl(QUrl(Text(url))); }

int QtUiServices::Exec(QDialog& dialog) { return dialog.exec(); }

}  // namespace lazrine::app
