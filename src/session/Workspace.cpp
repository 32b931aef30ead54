#include "session/Workspace.h"

#include "platform/TextCodec.h"
#include "platform/WineText.h"
#include "session/Messages.h"

namespace lazrine::session {

Workspace::Workspace(std::string settingsFile, WorkspaceHooks hooks)
    : m_szSettingsFile(std::move(settingsFile)), m_hooks(std::move(hooks)) {
    for (const palm::PmKindInfo& kind : palm::PmKindInfo::All()) {
        m_Sessions.at(kind.Index()) = std::make_unique<KindSession>(kind.nKind, nullptr);
    }
}

Workspace::~Workspace() {
    if (m_bOpen) {
        palm::PmDesktop::PmUnloadDesktopLibraries();
    }
}

void Workspace::Open() {
    // Which libraries were found makes no difference here: without them
    // there are no users, and named files still load.
    palm::PmDesktop::PmLoadDesktopLibraries(m_szSettingsFile);
    m_bOpen = true;
    m_Option = OptionRec::Read(m_szSettingsFile);
    for (const palm::PmKindInfo& kind : palm::PmKindInfo::All()) {
        m_Sessions.at(kind.Index()) = std::make_unique<KindSession>(kind.nKind, NewRecordSet(kind.nKind));
        m_Sessions.at(kind.Index())->SetShowAll(m_Option.AllFlag(kind.nKind) != 0);
    }
}

std::unique_ptr<palm::PmRecordSet> Workspace::NewRecordSet(palm::PmKind kind) const {
    std::unique_ptr<palm::PmRecordSet> set;
    if (m_hooks.createRecordSet) {
        set = m_hooks.createRecordSet(kind);
    }
    if (set) {
        set->UseSettingsFile(m_szSettingsFile);
    }
    return set;
}

bool Workspace::Close() {
    m_Users.clear();
    return m_Option.Write(m_szSettingsFile);
}

OptionsFlow::RecordSets Workspace::RecordSets() const {
    OptionsFlow::RecordSets sets{};
    for (const palm::PmKindInfo& kind : palm::PmKindInfo::All()) {
        sets.at(kind.Index()) = Session(kind.nKind).RecordSet();
    }
    return sets;
}

void Workspace::RefreshUsers() {
    m_Users.clear();
    if (m_hooks.enumerateUsers) {
        m_Users = m_hooks.enumerateUsers();
    }
    m_szUsersProblem.clear();
    m_nSelected = 0;
    if (m_Users.empty()) {
        m_szUsersProblem = Messages::NoUsers(palm::PmDesktop::PmNoUsersReason(m_szSettingsFile));
        return;
    }
    bool found = false;
    for (std::size_t i = 0; i < m_Users.size() && !found; ++i) {
        if (m_Users[i].nUserId == m_Option.nUserId) {
            m_nSelected = i;
            found = true;
        }
    }
    // A saved user that is gone is replaced by the one now shown.
    if (!found || m_Option.nUserId == 0) {
        m_Option.nUserId = m_Users[m_nSelected].nUserId;
    }
}

void Workspace::SelectUser(std::size_t index) {
    if (index < m_Users.size()) {
        m_nSelected = index;
        m_Option.nUserId = m_Users[index].nUserId;
    }
    LoadAll();
}

void Workspace::LoadAll() {
    for (const palm::PmKindInfo& kind : palm::PmKindInfo::All()) {
        if (!m_Users.empty() || !m_Option.FileOf(kind.nKind).empty()) {
            Load(kind.nKind);
        }
    }
}

const KindSession::LoadReport& Workspace::Load(palm::PmKind kind) {
    KindSession& session = Session(kind);
    const std::string& file = m_Option.FileOf(kind);
    return !file.empty() ? session.LoadFile(file) : session.LoadForUser(m_Option.nUserId);
}

void Workspace::ReloadChanged(const std::array<bool, palm::kPmKindCount>& changed) {
    for (const palm::PmKindInfo& kind : palm::PmKindInfo::All()) {
        if (changed.at(kind.Index())) {
            Load(kind.nKind);
        }
    }
}

void Workspace::SetShowAll(palm::PmKind kind, bool all) {
    m_Option.AllFlag(kind) = all ? 1 : 0;
    Session(kind).SetShowAll(all);
}

std::string Workspace::UserDataFolder() const {
    std::string folder;
    if (m_Users.empty() || !palm::PmDesktop::PmGetUserDataPath(m_Option.nUserId, folder)) {
        folder.clear();
    }
    return folder;
}

std::string Workspace::StatusText() const {
    std::string text = m_szUsersProblem;
    for (const palm::PmKindInfo& kind : palm::PmKindInfo::All()) {
        const KindSession::LoadReport& load = Session(kind.nKind).LastLoad();
        if (load.nOutcome != Outcome::kOk) {
            text += (text.empty() ? "" : "  ") + Messages::LoadProblem(kind, load.szReason);
        }
    }
    return text;
}

bool Workspace::FindUser(const std::string& wanted, ChosenUser& chosen, std::string& why) {
    palm::PmDesktop::PmLoadDesktopLibraries(m_szSettingsFile);
    m_bOpen = true;
    const std::vector<palm::PmUserInfo> users = palm::PmDesktop::PmEnumerateUsers();
    if (users.empty()) {
        why = Messages::NoUsers(palm::PmDesktop::PmNoUsersReason(m_szSettingsFile));
        return false;
    }
    const palm::PmUserInfo* found = nullptr;
    for (const auto& user : users) {
        if (found == nullptr && platform::TextCodec::Cp1252ToUtf8(user.szName) == wanted) {
            found = &user;
        }
    }
    for (const auto& user : users) {
        if (found == nullptr && platform::WineText::EqualsNoCase(platform::TextCodec::Cp1252ToUtf8(user.szName), wanted)) {
            found = &user;
        }
    }
    for (const auto& user : users) {
        if (found == nullptr && std::to_string(user.nUserId) == wanted) {
            found = &user;
        }
    }
    if (found == nullptr) {
        why = Messages::NoSuchUser(wanted);
        return false;
    }
    chosen.nUserId = found->nUserId;
    chosen.szName = platform::TextCodec::Cp1252ToUtf8(found->szName);
    chosen.szFolder.clear();
    palm::PmDesktop::PmGetUserDataPath(chosen.nUserId, chosen.szFolder);
    return true;
}

}  // namespace lazrine::session
