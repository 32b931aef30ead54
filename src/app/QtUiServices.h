#pragma once

#include "app/UiServices.h"

namespace lazrine::app {

// The real desktop: Qt message boxes, modal dialog loops and the system's
// browser.
class QtUiServices final : public UiServices {
public:
    void Information(QWidget* parent, const QString& caption, const QString& text) override;
    void Error(QWidget* parent, const QString& caption, const QString& text) override;
    int Exec(QDialog& dialog) override;
    bool OpenUrl(const QUrl& url) override;
    bool Ask(QWidget* parent, const QString& caption, const QString& text) override;
    bool ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggested, const QStringList& filters,
                        QString& chosen, QString& filter) override;
};

}  // namespace lazrine::app
