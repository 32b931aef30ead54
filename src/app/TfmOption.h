#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "app/UiServices.h"
#include "common/palm/PmRecordSet.h"
#include "session/OptionRec.h"
#include "session/OptionsFlow.h"

namespace lazrine::app {

// The options dialog: per kind (contacts, calendar, tasks, memos) a data
// file named explicitly instead of the Palm Desktop user's own. The rules
// (which names are accepted, all-or-nothing OK) are session::OptionsFlow's;
// the dialog holds the controls.
//
// Guarantees beyond the rules: a refused "&OK" shows the failing kind's
// page with its edit focused; refusals show the kind's message, with the
// reason as the detail; a kind without a record set shows its stored name
// read-only.
class TfmOption final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kKindCount = static_cast<int>(palm::kPmKindCount);

    // `pOption` is the main window's options record, changed in place on a
    // successful "&OK". `recordSets` per kind, in the order above (none: the
    // kind is not available). `userDataFolder` is where browsing starts when
    // the current name gives no folder (may be empty). `pOption`, the record
    // sets and `ui` must outlive the dialog.
    TfmOption(session::OptionRec* pOption, const session::OptionsFlow::RecordSets& recordSets, UiServices& ui,
              std::string userDataFolder, QWidget* parent = nullptr);
    ~TfmOption() override;
    TfmOption(const TfmOption&) = delete;
    TfmOption& operator=(const TfmOption&) = delete;

    // Which kinds' names "&OK" changed; all false until it succeeded.
    const std::array<bool, kKindCount>& ChangedFlags() const { return m_bChanged; }

private:
    // The controls of one kind's page.
    struct KindPage {
        QWidget page;
        QHBoxLayout row;
        QCheckBox cbFile;
        QLineEdit edtFile;
        QPushButton btnFile;
    };

    void FormCreate();
    void BuildControls();
    void ShowOptions();
    bool ApplyOptions();
    void cbFileClick(int kind);
    void btnFileClick(int kind);
    void btnOKClick();

    void Refuse(int kind, const std::string& message, const std::string& reason);
    KindPage& PageOf(int kind) { return *m_pages.at(static_cast<std::size_t>(kind)); }
    static palm::PmKind KindAt(int kind) { return static_cast<palm::PmKind>(kind); }

    session::OptionRec* m_pOption;
    session::OptionsFlow m_Flow;
    UiServices& m_ui;
    std::string m_szUserDataFolder;
    std::array<bool, kKindCount> m_bChanged{};

    // Layouts first, then the controls, then the pages, so that no control
    // outlives its layout and no page outlives the page control.
    QVBoxLayout m_layout;
    QHBoxLayout m_buttonRow;
    QLabel m_lblFile;
    QTabWidget m_pFile;
    QPushButton m_btnOK;
    QPushButton m_btnCancel;
    std::array<std::unique_ptr<KindPage>, kKindCount> m_pages;
};

}  // namespace lazrine::app
