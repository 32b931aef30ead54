#pragma once

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWidget>

#include "app/RecordTableModel.h"
#include "app/SingleLineDelegate.h"
#include "common/palm/PmKindInfo.h"

namespace lazrine::app {

// The controls of one page of the main window: "Show:" with the "Deleted
// Records" and "All Records" radio buttons, the report-style list with a
// check box per item and whole-row selection, the "&Select All", "&Clear"
// "&Undelete", "&Export…" and "Find in Backups…" buttons and the web site
// link. The page only lays its
// controls out; the main window drives them.
//
// Controls are named after the kind's prefix ("Memo": rbtnMemoDel,
// rbtnMemoAll, lvMemo, btnMemoSel, btnMemoClear, btnMemoUnDel, btnMemoExport,
// btnMemoBackups).
class TfmPage final : public QWidget {
    Q_OBJECT

public:
    TfmPage(const palm::PmKindInfo& kind, const QString& prefix, const QString& webSiteUrl, QWidget* parent);

    QRadioButton& rbtnDel() { return m_rbtnDel; }
    QRadioButton& rbtnAll() { return m_rbtnAll; }
    QTreeView& lv() { return m_lv; }
    RecordTableModel& Model() { return m_model; }
    QPushButton& btnSel() { return m_btnSel; }
    QPushButton& btnClear() { return m_btnClear; }
    QPushButton& btnUnDel() { return m_btnUnDel; }
    QPushButton& btnExport() { return m_btnExport; }
    QPushButton& btnBackups() { return m_btnBackups; }
    QLabel& lnkWeb() { return m_lnkWeb; }

protected:
    // Space toggles the check box of the list's current item, whichever
    // column the cursor is in, as in any list with check boxes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Layouts before the controls: members go in reverse order, so the
    // controls leave their layouts before the layouts go.
    QVBoxLayout m_layout;
    QHBoxLayout m_showRow;
    QHBoxLayout m_buttonRow;
    RecordTableModel m_model;
    SingleLineDelegate m_delegate;
    QLabel m_lblShow;
    QRadioButton m_rbtnDel;
    QRadioButton m_rbtnAll;
    QTreeView m_lv;
    QPushButton m_btnSel;
    QPushButton m_btnClear;
    QPushButton m_btnUnDel;
    QPushButton m_btnExport;
    QPushButton m_btnBackups;
    QLabel m_lnkWeb;
};

}  // namespace lazrine::app
