#pragma once

#include <functional>
#include <string>

#include "session/BackupList.h"
#include "session/UiServices.h"
#include "win/WinDialog.h"

namespace lazrine::win {

// The "Find in Backups" dialog of a page: what a scan of the user's folder
// found (see session::BackupList), a check box per record, the copy it came
// from in the first column, "&Select All", "&Clear", "&Export…" and "Close".
// The checks are read from the list when Export is pressed.
class WinBackupsDialog final : public WinDialog {
public:
    static constexpr int kSummary = 1001;
    static constexpr int kList = 1002;
    static constexpr int kSel = 1003;
    static constexpr int kClear = 1004;
    static constexpr int kExport = 1005;

    // `list` has been scanned and, like `ui`, outlives the dialog. Export
    // proposes `suggested` and calls `busy` around the writing.
    WinBackupsDialog(session::BackupList& list, session::UiServices& ui, std::string suggested,
                     std::function<void(bool)> busy);

private:
    void OnInit() override;
    bool OnCommand(int id, int code) override;
    void CheckAll(bool checked);

    session::BackupList& m_list;
    session::UiServices& m_ui;
    std::string m_szSuggested;
    std::function<void(bool)> m_busy;
};

}  // namespace lazrine::win
