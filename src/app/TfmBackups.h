#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/BackupTableModel.h"
#include "app/UiServices.h"
#include "session/BackupList.h"

namespace lazrine::app {

// The "Find in Backups" dialog of a page: what a scan of the user's folder
// found (see session::BackupList), a check box per record, the copy it came
// from in the first column, "&Select All", "&Clear", "&Export…" and "Close".
// Controls: lblBackups, lvBackups, btnBackupsSel, btnBackupsClear,
// btnBackupsExport, btnBackupsClose.
class TfmBackups final : public QDialog {
    Q_OBJECT

public:
    // `list` has been scanned and, like `ui`, outlives the dialog. Export
    // proposes `suggested` and calls `busy` around the writing.
    TfmBackups(session::BackupList& list, UiServices& ui, std::string suggested, std::function<void(bool)> busy,
               QWidget* parent);

    QTreeView& lv() { return m_lv; }
    QPushButton& btnSel() { return m_btnSel; }
    QPushButton& btnExport() { return m_btnExport; }

private:
    session::BackupList& m_list;
    UiServices& m_ui;
    std::string m_szSuggested;
    std::function<void(bool)> m_busy;
    QVBoxLayout m_layout;
    QHBoxLayout m_buttons;
    BackupTableModel m_model;
    QLabel m_lblSummary;
    QTreeView m_lv;
    QPushButton m_btnSel;
    QPushButton m_btnClear;
    QPushButton m_btnExport;
    QPushButton m_btnClose;
};

}  // namespace lazrine::app
