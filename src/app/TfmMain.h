#pragma once

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/TfmPage.h"
#include "app/UiServices.h"
#include "common/palm/PmRecordSet.h"
#include "session/Workspace.h"

namespace lazrine::app {

// Lazrine's main window: pick a Palm Desktop user, see the deleted (or all)
// records of each kind on its own page, check records and undelete them.
//
// The window holds widgets only: what a page shows and checks, how an
// undelete or an export runs and every sentence it says come from its
// workspace (the session layer); a kind whose record set is not available
// keeps its page, with its columns, empty. Choices persist in the settings
// file, which is read when the window is created and written once when it
// is destroyed.
//
// Guarantees: an undelete is reported as a success only for records that
// were really written; when a record cannot be undeleted or the data cannot
// be written, an error box says so and the page shows what the data on disk
// holds. Files named in the settings are loaded at start-up even when there
// is no Palm Desktop user.
class TfmMain final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPageCount = 4;
    enum Page : int { kPageAddr = 0, kPageDate = 1, kPageTodo = 2, kPageMemo = 3 };

    // `ui` must outlive the window.
    TfmMain(std::string settingsFile, UiServices& ui,
            session::WorkspaceHooks hooks = session::WorkspaceHooks::Defaults(), QWidget* parent = nullptr);
    ~TfmMain() override;
    TfmMain(const TfmMain&) = delete;
    TfmMain& operator=(const TfmMain&) = delete;

    const session::OptionRec& Options() const { return m_Workspace.Options(); }
    TfmPage& PageAt(int page) { return *m_pages.at(static_cast<std::size_t>(page)); }
    // The page's record set; none when its kind is not available.
    const palm::PmRecordSet* RecordSetOf(int page) const { return m_Workspace.Session(KindAt(page)).RecordSet(); }
    // Reloads, in page order, every kind whose data source was changed (by
    // the options dialog).
    void ReloadChanged(const std::array<bool, kPageCount>& changed);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    bool FormCloseQuery();
    void FormDestroy();
    void BuildControls();

    void cmbUserChange();
    void btnOptionClick();
    void btnHelpClick();
    void btnExitClick();
    void lnkWebClick(const QString& link);
    void rbtnDelClick(int page);
    void rbtnAllClick(int page);
    void btnSelClick(int page);
    void btnClearClick(int page);
    void btnUnDelClick(int page);
    // Writes the checked records of the page (all shown ones, when the user
    // agrees, if none is checked) to a file the user picks, in one of the
    // kind's export formats; never writes to the Palm data.
    void btnExportClick(int page);
    void btnBackupsClick(int page);
    // The file an export proposes: the kind's name in the home folder.
    std::string SuggestedExport(int page);
    // A wait cursor while an export writes.
    static void ShowBusy(bool busy);

    void FillUserList();
    // Shows the session's rows again, and the status bar's reasons.
    void ShowPage(int page);
    void ShowStatus();
    // The options dialog's result: which kinds' data source changed, or
    // none when it was cancelled.
    std::optional<std::array<bool, kPageCount>> RunOptionsDialog();
    static palm::PmKind KindAt(int page) { return static_cast<palm::PmKind>(page); }

    UiServices& m_ui;
    session::Workspace m_Workspace;
    // Clear while the user list is rebuilt: user changes are ignored then.
    bool m_bReady = false;

    // Layouts first, then the controls, then the pages, so that members go
    // in an order in which no control outlives its layout.
    QVBoxLayout m_layout;
    QHBoxLayout m_topRow;
    QLabel m_lblUser;
    QComboBox m_cmbUser;
    QPushButton m_btnOption;
    QPushButton m_btnHelp;
    QPushButton m_btnExit;
    QTabWidget m_spMain;
    QStatusBar m_sbMain;
    std::array<std::unique_ptr<TfmPage>, kPageCount> m_pages;
};

}  // namespace lazrine::app
