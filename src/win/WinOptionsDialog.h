#pragma once

#include <array>
#include <string>

#include "session/OptionRec.h"
#include "session/OptionsFlow.h"
#include "win/WinDialog.h"
#include "win/WinUiServices.h"

namespace lazrine::win {

// The options dialog: per kind (contacts, calendar, tasks, memos, one tab
// each) a data file named instead of the Palm Desktop user's own. The rules
// (which names are accepted, all-or-nothing OK) are session::OptionsFlow's;
// the dialog holds the controls.
//
// Guarantees beyond the rules: a refused OK shows the failing kind's tab
// with its edit focused and selected; refusals show the kind's message with
// the reason as the detail; a kind without a record set shows its stored
// name read-only; Cancel changes nothing.
class WinOptionsDialog final : public WinDialog {
public:
    static constexpr int kLabel = 1090;
    static constexpr int kTabs = 1091;
    // The controls of kind k (page order) are kFile + 10 * k + 0, 1, 2.
    static constexpr int kFileCheck = 1100;
    static constexpr int kFileEdit = 1101;
    static constexpr int kFileBrowse = 1102;
    static int IdOf(int control, palm::PmKind kind) { return control + 10 * static_cast<int>(kind); }

    // `option` is changed in place on a successful OK. `option`, the record
    // sets and `ui` must outlive the dialog. Browsing starts in the current
    // name's folder, else `userDataFolder`, else `home`.
    WinOptionsDialog(session::OptionRec& option, const session::OptionsFlow::RecordSets& recordSets,
                     WinUiServices& ui, std::string userDataFolder, std::string home);

    // Which kinds' names OK changed; all false until it succeeded.
    const std::array<bool, palm::kPmKindCount>& ChangedFlags() const { return m_bChanged; }

private:
    void OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnNotify(const NMHDR& header) override;
    HBRUSH ControlBrush(HWND control) override;

    void ShowKind(int kind);
    void UpdateKind(int kind);
    void BrowseKind(int kind);
    bool ApplyOptions();
    void Refuse(int kind, const std::string& message, const std::string& reason);
    std::string NameIn(int kind) const;

    session::OptionRec& m_Option;
    session::OptionsFlow m_Flow;
    WinUiServices& m_ui;
    std::string m_szUserDataFolder;
    std::string m_szHome;
    std::array<bool, palm::kPmKindCount> m_bChanged{};
};

}  // namespace lazrine::win
