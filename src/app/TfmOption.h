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

#include "app/OptionRec.h"
#include "app/UiServices.h"
#include "common/palm/PmRecordSet.h"

namespace lazrine::app {

// The options dialog: per kind (contacts, calendar, tasks, memos) a data
// file named explicitly instead of the Palm Desktop user's own.
//
// Guarantees:
// - A name is accepted only when the kind's record set reads it, as a fresh
//   probe with stores of its own finds; the record sets the window has
//   loaded are never touched, so Cancel leaves every loaded file in place.
// - Names change only when "&OK" succeeds, and then only for the kinds that
//   really changed (ChangedFlags); a refused "&OK" changes nothing at all
//   and shows the failing kind's page with its edit focused.
// - Every name kept is absolute and whole, and holds no control character
//   (which could not be written back to the settings file as it is).
// - A FIFO, a device or a folder is refused at once, never opened.
// - Refusals show the kind's message, with the reason as the detail.
// - A kind without a record set shows its stored name read-only; it is
//   never probed and never reported as changed.
class TfmOption final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kKindCount = 4;
    enum Kind : int { kAddr = 0, kDate = 1, kTodo = 2, kMemo = 3 };

    // `pOption` is the main window's options record, changed in place on a
    // successful "&OK". `recordSets` per kind, in the order above (none: the
    // kind is not available). `userDataFolder` is where browsing starts when
    // the current name gives no folder (may be empty). `pOption`, the record
    // sets and `ui` must outlive the dialog.
    TfmOption(OptionRec* pOption, const std::array<const palm::PmRecordSet*, kKindCount>& recordSets,
              UiServices& ui, std::string userDataFolder, QWidget* parent = nullptr);
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
    bool ChooseDataFile(int kind, std::string& path);
    void cbFileClick(int kind);
    void btnFileClick(int kind);
    void btnOKClick();

    // The absolute form of `name` in `path` when the kind reads it; else
    // shows `message` with the reason and returns false.
    bool Accept(int kind, const QString& name, const QString& message, std::string& path);
    void Refuse(int kind, const QString& message, const QString& reason);
    QString StartFolder(int kind) const;
    KindPage& PageOf(int kind) { return *m_pages.at(static_cast<std::size_t>(kind)); }

    OptionRec* m_pOption;
    std::array<const palm::PmRecordSet*, kKindCount> m_RecordSets;
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
