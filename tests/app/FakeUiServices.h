#pragma once

#include <QString>
#include <QUrl>
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
    };

    void Information(QWidget* parent, const QString& caption, const QString& text) override;
    void Error(QWidget* parent, const QString& caption, const QString& text) override;
    // Runs `onExec` on the dialog (which may click its buttons) and returns
    // the dialog's result; without `onExec` the dialog is rejected.
    int Exec(QDialog& dialog) override;
    bool OpenUrl(const QUrl& url) override;

    std::vector<Message> messages;
    std::function<void(const Message&)> onMessage;
    std::function<void(QDialog&)> onExec;
    int execCount = 0;
    std::vector<QUrl> urls;
};

}  // namespace lazrine::testing
