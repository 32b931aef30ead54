#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>
#include <vector>

#include "app/UiServices.h"

namespace lazrine::testing {

// Answers the window's message boxes and dialogs without a modal loop and
// records what was shown, and records web pages instead of opening them.
class FakeUiServices final : public app::UiServices {
public:
    struct Message {
        bool error = false;
        QString caption;
        QString text;
        QString detail;
    };
    // One open-file dialog as it was asked for.
    struct FileRequest {
        QString title;
        QString folder;
        QStringList filters;
    };

    void Information(QWidget* parent, const QString& caption, const QString& text) override;
    void Error(QWidget* parent, const QString& caption, const QString& text) override;
    void ErrorWithDetail(QWidget* parent, const QString& caption, const QString& text,
                         const QString& detail) override;
    // Answers with the front of `chosenFiles` (an empty entry: the user
    // cancels); with none left, the user cancels.
    bool ChooseOpenFile(QWidget* parent, const QString& title, const QString& folder, const QStringList& filters,
                        QString& chosen) override;
    // Runs `onExec` on the dialog (which may click its buttons) and returns
    // the dialog's result; without `onExec` the dialog is rejected.
    int Exec(QDialog& dialog) override;
    bool OpenUrl(const QUrl& url) override;
    // Records the question and answers `answer`.
    bool Ask(QWidget* parent, const QString& caption, const QString& text) override;
    // Answers with `onSaveFile` (which may set the path and the type);
    // without it the dialog is cancelled.
    bool ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggested, const QStringList& filters,
                        QString& chosen, QString& filter) override;

    std::vector<Message> messages;
    std::function<void(const Message&)> onMessage;
    std::function<void(QDialog&)> onExec;
    int execCount = 0;
    std::deque<QString> chosenFiles;
    std::vector<FileRequest> fileRequests;
    std::vector<QUrl> urls;
    std::vector<QString> questions;
    bool answer = true;
    std::function<bool(const QString& suggested, const QStringList& filters, QString& chosen, QString& filter)>
        onSaveFile;
};

}  // namespace lazrine::testing
