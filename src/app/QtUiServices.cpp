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
