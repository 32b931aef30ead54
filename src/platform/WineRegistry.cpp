#include "platform/WineRegistry.h"

#include "platform/WineText.h"

namespace lazrine::platform {

WineRegistry::WineRegistry(const std::string& prefix) {
    if (prefix.empty()) {
        return;
    }
    m_User.LoadFile(prefix + "/user.reg");
    m_Machine.LoadFile(prefix + "/system.reg");
}

const WineRegFile& WineRegistry::Hive(Root root) const {
    return root == Root::kCurrentUser ? m_User : m_Machine;
}

std::string WineRegistry::ViewOf(Root root, std::string_view key) const {
    constexpr std::string_view kSoftware = "software\\";
    if (root == Root::kLocalMachine && key.size() > kSoftware.size() &&
        WineText::EqualsNoCase(key.substr(0, kSoftware.size()), kSoftware) &&
        m_Machine.HasKey("Software\\Wow6432Node")) {
        std::string redirected = "Software\\Wow6432Node\\";
        redirected.append(key.substr(kSoftware.size()));
        if (m_Machine.HasKey(redirected)) {
            return redirected;
        }
    }
    return std::string(key);
}

bool WineRegistry::OpenKey(Root root, std::string_view key) const { return Hive(root).HasKey(ViewOf(root, key)); }

bool WineRegistry::QueryValue(Root root, std::string_view key, std::string_view name, std::string& out) const {
    return Hive(root).QueryValue(ViewOf(root, key), name, out);
}

}  // namespace lazrine::platform
