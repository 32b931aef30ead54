#include "common/palm/desktop/PmUserDataLib.h"

#include "common/palm/desktop/PmUserFolderScan.h"
#include "platform/HostFolder.h"
#include "platform/WineText.h"

namespace lazrine::palm {
namespace {

// The host path of users.dat in `hostRoot`, in whatever letter case it has.
std::string UsersFileIn(const std::string& hostRoot) {
    std::vector<platform::HostFolder::Entry> entries;
    if (!platform::HostFolder::List(hostRoot, entries)) {
        return {};
    }
    for (const auto& entry : entries) {
        if (!entry.bFolder && platform::WineText::EqualsNoCase(entry.szName, "users.dat")) {
            return (hostRoot.empty() || hostRoot.back() == '/' ? hostRoot : hostRoot + "/") + entry.szName;
        }
    }
    return {};
}

}  // namespace

void PmUserDataLib::Load(const std::string& rootText, const std::string& hostRoot) {
    m_szRoot = rootText;
    m_Users.clear();
    m_nSource = Source::kNone;
    if (!m_szRoot.empty() && m_szRoot.back() != '\\' && m_szRoot.back() != '/') {
        m_szRoot.push_back(m_szRoot.front() == '/' ? '/' : '\\');
    }
    PmUsersFile file;
    bool understood = false;
    const std::string usersFile = UsersFileIn(hostRoot);
    std::vector<std::uint8_t> bytes;
    if (!usersFile.empty() && platform::HostFolder::ReadFile(usersFile, PmUsersFile::kMaxBytes, bytes)) {
        understood = file.Parse(bytes);
        m_Users = file.Users();
    }
    if (understood) {
        m_nSource = Source::kUsersFile;
        return;
    }
    // Without a readable list, the folders tell; a damaged list never hides
    // a user folder.
    const bool hadUsers = !m_Users.empty();
    for (auto& user : PmUserFolderScan::Scan(hostRoot, m_Users)) {
        m_Users.push_back(std::move(user));
    }
    if (hadUsers) {
        m_nSource = Source::kUsersFileAndScan;
    } else if (!m_Users.empty()) {
        m_nSource = Source::kFolderScan;
    }
    // The count is 16 bits wide; a signed reading must stay positive.
    if (m_Users.size() > 0x7FFF) {
        m_Users.resize(0x7FFF);
    }
}

const PmUsersFile::User* PmUserDataLib::Find(std::uint32_t id) const {
    for (const auto& user : m_Users) {
        if (user.nUserId == id) {
            return &user;
        }
    }
    return nullptr;
}

std::uint16_t PmUserDataLib::UmGetUserCount() const { return static_cast<std::uint16_t>(m_Users.size()); }

int PmUserDataLib::UmGetUserID(std::uint16_t index, std::uint32_t& id) const {
    if (index >= m_Users.size()) {
        return kUmErrBadIndex;
    }
    id = m_Users[index].nUserId;
    return kUmOk;
}

int PmUserDataLib::UmGetUserName(std::uint32_t id, std::string& name, std::int16_t& size) const {
    const PmUsersFile::User* user = Find(id);
    if (user == nullptr) {
        return kUmErrUnknownUser;
    }
    if (size <= 0) {
        return kUmErrBufferTooSmall;
    }
    name = user->szName.substr(0, static_cast<std::size_t>(size) - 1);
    return kUmOk;
}

int PmUserDataLib::UmGetUserDirectory(std::uint32_t id, std::string& directory, std::int16_t& size) const {
    const PmUsersFile::User* user = Find(id);
    if (user == nullptr) {
        return kUmErrUnknownUser;
    }
    if (size <= 0 || user->szFolder.size() + 1 > static_cast<std::size_t>(size)) {
        return kUmErrBufferTooSmall;
    }
    directory = user->szFolder;
    return kUmOk;
}

int PmUserDataLib::UmGetRootDirectory(std::string& root, std::int16_t& size) const {
    if (m_szRoot.empty() || size <= 0 || m_szRoot.size() + 1 > static_cast<std::size_t>(size)) {
        return 0;
    }
    root = m_szRoot;
    return 1;
}

}  // namespace lazrine::palm
