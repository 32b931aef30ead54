#include "app/OptionRec.h"

#include <array>

#include "platform/ProfileFile.h"

namespace lazrine::app {
namespace {

using platform::ProfileFile;

constexpr std::array<const char*, 4> kAllKeys{"AddrAll", "DateAll", "TodoAll", "MemoAll"};
constexpr std::array<const char*, 4> kFileKeys{"AddrFile", "DateFile", "TodoFile", "MemoFile"};

std::uint8_t ReadFlag(const std::string& file, const char* key, std::int32_t fallback) {
    return ProfileFile::ReadInt(file, OptionRec::kSection, key, fallback) != 0 ? 1 : 0;
}

// The member of page `page`, for a const or a mutable record alike.
template <class Rec>
auto& FlagOf(Rec& rec, int page) {
    switch (page) {
        case 0:
            return rec.bAddrAll;
        case 1:
            return rec.bDateAll;
        case 2:
            return rec.bTodoAll;
        default:
            return rec.bMemoAll;
    }
}

template <class Rec>
auto& NameOf(Rec& rec, int page) {
    switch (page) {
        case 0:
            return rec.szAddrFile;
        case 1:
            return rec.szDateFile;
        case 2:
            return rec.szTodoFile;
        default:
            return rec.szMemoFile;
    }
}

}  // namespace

std::uint8_t& OptionRec::AllFlag(int page) { return FlagOf(*this, page); }
std::uint8_t OptionRec::AllFlag(int page) const { return FlagOf(*this, page); }
std::string& OptionRec::FileOf(int page) { return NameOf(*this, page); }
const std::string& OptionRec::FileOf(int page) const { return NameOf(*this, page); }

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
    for (std::size_t page = 0; page < kAllKeys.size(); ++page) {
        rec.AllFlag(static_cast<int>(page)) = ReadFlag(file, kAllKeys[page], 0);
    }
    rec.bQuitRemind = ReadFlag(file, "QuitRemind", 1);
    for (std::size_t page = 0; page < kFileKeys.size(); ++page) {
        rec.FileOf(static_cast<int>(page)) = ProfileFile::ReadString(file, kSection, kFileKeys[page], "");
    }
    return rec;
}

bool OptionRec::Write(const std::string& file) const {
    bool ok = ProfileFile::WriteString(file, kSection, "UserID", std::to_string(static_cast<std::int32_t>(nUserId)));
    for (std::size_t page = 0; page < kAllKeys.size(); ++page) {
        ok = ProfileFile::WriteString(file, kSection, kAllKeys[page],
                                      AllFlag(static_cast<int>(page)) != 0 ? "1" : "0") &&
             ok;
    }
    for (std::size_t page = 0; page < kFileKeys.size(); ++page) {
        ok = ProfileFile::WriteString(file, kSection, kFileKeys[page], FileOf(static_cast<int>(page))) && ok;
    }
    ok = ProfileFile::WriteString(file, kSection, "QuitRemind", bQuitRemind != 0 ? "1" : "0") && ok;
    return ok;
}

}  // namespace lazrine::app
