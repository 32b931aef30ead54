#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/palm/PmKindInfo.h"
#include "common/palm/desktop/PmDesktop.h"
#include "session/KindSession.h"
#include "session/OptionRec.h"
#include "session/OptionsFlow.h"
#include "session/WorkspaceHooks.h"

namespace lazrine::session {

// What a front end works in: the settings file and the choices kept in it,
// the Palm Desktop users, and one kind session per kind.
//
// Open reads the settings and finds the users; Close writes the settings
// once. Each kind loads from the file the settings name for it, else from
// the chosen user's data; without users, named files still load.
class Workspace {
public:
    // The user a command line names: its id, its name in UTF-8 and its
    // data folder (empty when unknown).
    struct ChosenUser {
        std::uint32_t nUserId = 0;
        std::string szName;
        std::string szFolder;
    };

    Workspace(std::string settingsFile, WorkspaceHooks hooks = WorkspaceHooks::Defaults());
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // Loads the Palm Desktop libraries, reads the settings and creates the
    // kind sessions, each showing all or deleted records as the settings say.
    void Open();
    // Writes the settings; false when that fails.
    bool Close();

    const std::string& SettingsFile() const { return m_szSettingsFile; }
    OptionRec& Options() { return m_Option; }
    const OptionRec& Options() const { return m_Option; }
    KindSession& Session(palm::PmKind kind) { return *m_Sessions.at(static_cast<std::size_t>(kind)); }
    const KindSession& Session(palm::PmKind kind) const { return *m_Sessions.at(static_cast<std::size_t>(kind)); }
    OptionsFlow::RecordSets RecordSets() const;
    // A fresh record set of the kind with this workspace's settings; none
    // when the kind is not available.
    std::unique_ptr<palm::PmRecordSet> NewRecordSet(palm::PmKind kind) const;

    // Finds the users again. The saved user, when still there, is selected,
    // else the first (and it becomes the saved one).
    void RefreshUsers();
    const std::vector<palm::PmUserInfo>& Users() const { return m_Users; }
    // The position of the selected user in Users(); 0 without users.
    std::size_t SelectedUser() const { return m_nSelected; }
    // Why there are no users; empty when there are.
    const std::string& UsersProblem() const { return m_szUsersProblem; }
    // Selects a user and loads every kind again.
    void SelectUser(std::size_t index);
    // Loads every kind: with users, all of them; without, those with a named file.
    void LoadAll();
    // Loads one kind from its named file, else from the selected user.
    const KindSession::LoadReport& Load(palm::PmKind kind);
    // Loads the kinds whose flag is set, in page order.
    void ReloadChanged(const std::array<bool, palm::kPmKindCount>& changed);
    // Shows all or only deleted records of a kind, and keeps the choice.
    void SetShowAll(palm::PmKind kind, bool all);
    // The data folder of the selected user; empty without one.
    std::string UserDataFolder() const;
    // What the status bar says: why there are no users and why kinds did
    // not load, two spaces apart; empty when all is well.
    std::string StatusText() const;

    // The command line's --user: a name (exact, else in any ASCII letter
    // case), else a decimal id. False, with `why`, when none matches.
    bool FindUser(const std::string& wanted, ChosenUser& chosen, std::string& why);

private:
    std::string m_szSettingsFile;
    WorkspaceHooks m_hooks;
    OptionRec m_Option;
    std::vector<palm::PmUserInfo> m_Users;
    std::size_t m_nSelected = 0;
    std::string m_szUsersProblem;
    std::array<std::unique_ptr<KindSession>, palm::kPmKindCount> m_Sessions;
    bool m_bOpen = false;
};

}  // namespace lazrine::session
