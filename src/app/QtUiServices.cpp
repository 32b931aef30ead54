#include "app/QtUiServices.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QStringList>
#include <QMessageBox>
#include <QUrl>

namespace lazrine::app {

void QtUiServices::Information(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::information(parent, caption, text);
}

void QtUiServices::Error(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::critical(parent, caption, text);
}

void QtUiServices::ErrorWithDetail(QWidget* parent, const QString& caption, const QString& text,
                                  const QString& detail) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    box.setInformativeText(detail);
    box.exec();
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

bool QtUiServices::ChooseOpenFile(QWidget* parent, const QString& title, const QString& folder,
                                  const QStringList& filters, QString& chosen) {
    QFileDialog dialog(parent);
    SetUpOpenDialog(dialog, title, folder, filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    chosen = dialog.selectedFiles().constFirst();
    return true;
}

int QtUiServices::Exec(QDialog& dialog) { return dialog.exec(); }

bool QtUiServices::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool QtUiServices::Ask(QWidget* parent, const QString& caption, const QString& text) {
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

bool QtUiServices::ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                                  const QStringList& filters, QString& chosen, QString& filter) {
    filter = filters.isEmpty() ? QString() : filters.front();
    const QString path = QFileDialog::getSaveFileName(parent, title, suggested, filters.join(QStringLiteral(";;")),
                                                      &filter);
    if (path.isEmpty()) {
        return false;
    }
    chosen = path;
    return true;
}

}  // namespace lazrine::app
