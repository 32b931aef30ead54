#include "app/QtUiServices.h"

#include <QDesktopServices>
#include <QDialog>
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

}  // namespace lazrine::app
