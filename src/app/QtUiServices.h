#pragma once

#include <QStringList>

#include "app/UiServices.h"

class QFileDialog;
class QWidget;

namespace lazrine::app {

// The real desktop: Qt message boxes and file dialogs over the active
// window, modal dialog loops and the system's browser. Texts cross as UTF-8,
// file names as the file system's bytes.
class QtUiServices final : public UiServices {
public:
    // Sets up `dialog` to pick one existing file as ChooseOpenFile does: Qt's
    // own dialog, whose patterns match in any letter case ("MemoPad.MDB" is
    // listed under "*.mdb").
    static void SetUpOpenDialog(QFileDialog& dialog, const QString& title, const QString& folder,
                                const QStringList& filters);
    // The filters as Qt's file dialogs take them.
    static QStringList FilterTexts(const std::vector<session::FileFilter>& filters);

    void Information(const std::string& caption, const std::string& text) override;
    void Error(const std::string& caption, const std::string& text) override;
    void ErrorWithDetail(const std::string& caption, const std::string& text, const std::string& detail) override;
    bool Ask(const std::string& caption, const std::string& text) override;
    bool ChooseOpenFile(const std::string& title, const std::string& folder,
                        const std::vector<session::FileFilter>& filters, std::string& chosen) override;
    bool ChooseSaveFile(const std::string& title, const std::string& suggested,
                        const std::vector<session::FileFilter>& filters, std::string& chosen,
                        std::size_t& filter) override;
    bool OpenUrl(const std::string& url) override;
    int Exec(QDialog& dialog) override;

private:
    static QWidget* Parent();
};

}  // namespace lazrine::app
