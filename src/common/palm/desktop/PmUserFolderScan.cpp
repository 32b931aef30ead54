#include "common/palm/desktop/PmUserFolderScan.h"

#include <array>
#include <set>
#include <string_view>

#include "platform/HostFolder.h"
#include "platform/TextCodec.h"
#include "platform/WineText.h"

namespace lazrine::palm {
namespace {

using platform::HostFolder;
using platform::TextCodec;
using platform::WineText;

constexpr std::array<std::string_view, 4> kDataFolders = {"address", "datebook", "memopad", "todo"};

}  // namespace

std::uint32_t PmUserFolderScan::IdForFolder(const std::string& folder) {
    std::uint32_t hash = 2166136261u;
    for (const char c : WineText::ToLowerAscii(folder)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    if (hash < PmUsersFile::kFirstUserId) {
        hash += PmUsersFile::kFirstUserId;
    }
    return hash;
}

bool PmUserFolderScan::HoldsUserData(const std::string& folder) {
    std::vector<HostFolder::Entry> entries;
    if (!HostFolder::List(folder, entries)) {
        return false;
    }
    for (const auto& entry : entries) {
        if (!entry.bFolder) {
            continue;
        }
        for (const auto name : kDataFolders) {
            if (WineText::EqualsNoCase(entry.szName, name)) {
                return true;
            }
        }
    }
    return false;
}

std::vector<PmUsersFile::User> PmUserFolderScan::Scan(const std::string& root,
                                                      const std::vector<PmUsersFile::User>& known) {
    std::vector<PmUsersFile::User> found;
    std::vector<HostFolder::Entry> entries;
    if (!HostFolder::List(root, entries)) {
        return found;
    }
    std::set<std::uint32_t> taken;
    for (const auto& user : known) {
        taken.insert(user.nUserId);
    }
    const std::string base = root.empty() || root.back() == '/' ? root : root + "/";
    for (const auto& entry : entries) {
        if (!entry.bFolder || !HoldsUserData(base + entry.szName)) {
            continue;
        }
        // Palm Desktop's texts are Windows-1252; a host name that has no
        // such spelling keeps its bytes (the path mapper finds it as it is).
        std::string folder;
        if (!TextCodec::Utf8ToCp1252(entry.szName, folder)) {
            folder = entry.szName;
        }
        if (!PmUsersFile::IsSafeFolderName(folder)) {
            continue;
        }
        bool listed = false;
        for (const auto& user : known) {
            listed = listed || WineText::EqualsNoCase(user.szFolder, folder) ||
                     WineText::EqualsNoCase(user.szFolder, entry.szName);
        }
        if (listed) {
            continue;
        }
        std::uint32_t id = IdForFolder(folder);
        while (taken.count(id) != 0 || id < PmUsersFile::kFirstUserId) {
            ++id;
        }
        taken.insert(id);
        PmUsersFile::User user;
        user.nUserId = id;
        user.szName = folder;
        user.szFolder = folder;
        found.push_back(std::move(user));
    }
    return found;
}

}  // namespace lazrine::palm
