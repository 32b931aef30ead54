#include "session/OptionRec.h"

#include <array>

#include "platform/ProfileFile.h"

namespace lazrine::session {
namespace {

using platform::ProfileFile;

// "AddrAll", "MemoFile": the kind's prefix and the key's role.
std::string KeyOf(std::size_t page, const char* role) {
    return std::string(palm::PmKindInfo::All().at(page).szPrefix) + role;
}

std::uint8_t ReadFlag(const std::string& file, const char* key, std::int32_t fallback) {
    return ProfileFile::ReadInt(file, OptionRec::kSection, key, fallback) != 0 ? 1 : 0;
}

}  // namespace

bool OptionRec::IsStorableFileName(const std::string& name) {
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

OptionRec OptionRec::Read(const std::string& file) {
    OptionRec rec;
    // The user id is stored signed; the profile reader gives the same 32 bits.
    rec.nUserId = static_cast<std::uint32_t>(ProfileFile::ReadInt(file, kSection, "UserID", 0));
    for (std::size_t page = 0; page < palm::kPmKindCount; ++page) {
        rec.AllFlag(static_cast<int>(page)) = ReadFlag(file, KeyOf(page, "All").c_str(), 0);
    }
    rec.bQuitRemind = ReadFlag(file, "QuitRemind", 1);
    for (std::size_t page = 0; page < palm::kPmKindCount; ++page) {
        rec.FileOf(static_cast<int>(page)) = ProfileFile::ReadString(file, kSection, KeyOf(page, "File").c_str(), "");
    }
    return rec;
}

bool OptionRec::Write(const std::string& file) const {
    bool ok = ProfileFile::WriteString(file, kSection, "UserID", std::to_string(static_cast<std::int32_t>(nUserId)));
    for (std::size_t page = 0; page < palm::kPmKindCount; ++page) {
        ok = ProfileFile::WriteString(file, kSection, KeyOf(page, "All").c_str(),
                                      AllFlag(static_cast<int>(page)) != 0 ? "1" : "0") &&
             ok;
    }
    for (std::size_t page = 0; page < palm::kPmKindCount; ++page) {
        ok = ProfileFile::WriteString(file, kSection, KeyOf(page, "File").c_str(), FileOf(static_cast<int>(page))) && ok;
    }
    ok = ProfileFile::WriteString(file, kSection, "QuitRemind", bQuitRemind != 0 ? "1" : "0") && ok;
    return ok;
}

}  // namespace lazrine::session
