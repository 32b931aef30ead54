#pragma once

#include <QStringList>

class QDialog;
class QString;
class QUrl;
class QWidget;

namespace lazrine::app {

// Everything the window asks of the desktop that blocks or leaves the
// program: message boxes, modal dialogs and opening web pages. The window
// reaches them only through this interface, so that tests answer them
// without a modal loop and without a browser.
class UiServices {
public:
    virtual ~UiServices() = default;

    // A message box with the information icon and an OK button.
    virtual void Information(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A message box with the error icon and an OK button.
    virtual void Error(QWidget* parent, const QString& caption, const QString& text) = 0;
    // The same with the reason under the main text.
    virtual void ErrorWithDetail(QWidget* parent, const QString& caption, const QString& text,
                                 const QString& detail) = 0;
    // The open-file dialog: an existing file, picked with `title` from
    // `folder` through one of `filters` ("Name (*.a *.b)"). False when the
    // user cancels; otherwise `chosen` is the file's path.
    virtual bool ChooseOpenFile(QWidget* parent, const QString& title, const QString& folder,
                                const QStringList& filters, QString& chosen) = 0;
    // Runs `dialog` modally and returns its result (QDialog::Accepted or
    // QDialog::Rejected).
    virtual int Exec(QDialog& dialog) = 0;
    // Opens a web page in the user's browser; false when none could be opened.
    virtual bool OpenUrl(const QUrl& url) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool Ask(QWidget* parent, const QString& caption, const QString& text) = 0;
    // The save-file dialog: a file to write, proposed as `suggested`, of one
    // of the types `filters` ("vCard (*.vcf)", ...). False when the user
    // cancels; otherwise `chosen` is the path and `filter` the type picked.
    virtual bool ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                                const QStringList& filters, QString& chosen, QString& filter) = 0;
};

}  // namespace lazrine::app
