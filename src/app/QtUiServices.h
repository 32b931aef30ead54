#pragma once

#include "app/UiServices.h"

class QFileDialog;

namespace lazrine::app {

// The real desktop: Qt message boxes, modal dialog loops and the system's
// browser.
class QtUiServices final : public UiServices {
public:
    // Sets up `dialog` to pick one existing file as ChooseOpenFile does: Qt's
    // own dialog, whose patterns match in any letter case ("MemoPad.MDB" is
    // listed under "*.mdb").
    static void SetUpOpenDialog(QFileDialog& dialog, const QString& title, const QString& folder,
                                const QStringList& filters);

    void Information(QWidget* parent, const QString& caption, const QString& text) override;
    void Error(QWidget* parent, const QString& caption, const QString& text) override;
    void ErrorWithDetail(QWidget* parent, const QString& caption, const QString& text,
                         const QString& detail) override;
    bool ChooseOpenFile(QWidget* parent, const QString& title, const QString& folder, const QStringList& filters,
                        QString& chosen) override;
    int Exec(QDialog& dialog) override;
    bool OpenUrl(const QUrl& url) override;
    bool Ask(QWidget* parent, const QString& caption, const QString& text) override;
    bool ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggested, const QStringList& filters,
                        QString& chosen, QString& filter) override;
};

}  // namespace lazrine::app
