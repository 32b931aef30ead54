#pragma once

// A Wine prefix in a temporary folder, laid out as Palm Desktop 4.1 leaves
// it: registry hives, drive_c behind dosdevices/c:, the Palm folder with the
// desktop libraries and users.dat, and user folders with memo files.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/WinePrefix.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace lazrine::testing {

struct FakeUser {
    std::uint32_t id = 0;
    std::string name;
    std::string folder;
};

// users.dat bytes: the count, the CUser class header before the first entry,
// 0x8001 before later ones, and per entry an active flag and two conduit
// entries after the folder name.
inline std::vector<std::uint8_t> BuildUsersDat(const std::vector<FakeUser>& users) {
    PalmFileBuilder b;
    b.U16(static_cast<std::uint16_t>(users.size()));
    for (std::size_t i = 0; i < users.size(); ++i) {
        if (i == 0) {
            b.U16(0xFFFF).U16(1).U16(5).Raw(std::string("CUser"));
        } else {
            b.U16(0x8001);
        }
        b.U32(users[i].id);
        b.U8(static_cast<std::uint8_t>(users[i].name.size())).Raw(users[i].name);
        b.U8(static_cast<std::uint8_t>(users[i].folder.size())).Raw(users[i].folder);
        b.U32(1);  // active
        b.U16(2);  // conduit entries
        for (int c = 0; c < 2; ++c) {
            if (i == 0 && c == 0) {
                b.U16(0xFFFF).U16(1).U16(8).Raw(std::string("CConduit"));
            } else {
                b.U16(0x8003);
            }
            b.U32(0x6D656D6Fu + static_cast<std::uint32_t>(c)).U8(7).Raw(std::string("Conduit")).U32(0);
        }
    }
    return b.Bytes();
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class FakeWinePrefix {
public:
    FakeWinePrefix() {
        std::filesystem::create_directories(Prefix() / "drive_c");
        std::filesystem::create_directories(Prefix() / "dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", Prefix() / "dosdevices" / "c:");
        platform::WinePrefix::SetOverride(Prefix().string());
    }
    ~FakeWinePrefix() { platform::WinePrefix::SetOverride(std::nullopt); }
    FakeWinePrefix(const FakeWinePrefix&) = delete;
    FakeWinePrefix& operator=(const FakeWinePrefix&) = delete;

    std::filesystem::path Prefix() const { return m_dir.Path() / "prefix"; }
    std::filesystem::path DriveC() const { return Prefix() / "drive_c"; }
    std::filesystem::path Palm() const { return DriveC() / "Program Files" / "Palm"; }
    std::string Settings() const { return (m_dir.Path() / "tamrisk.ini").string(); }
    std::filesystem::path Temp() const { return m_dir.Path(); }

    void UserReg(const std::string& body) { WriteText(Prefix() / "user.reg", kHeader + body); }
    void SystemReg(const std::string& body) { WriteText(Prefix() / "system.reg", kHeader + body); }

    // The registry entries Palm Desktop 4.1 writes for the current user.
    void InstallRegistry() {
        UserReg(
            "[Software\\\\U.S. Robotics\\\\Pilot Desktop\\\\Core] 1700000000\n"
            "#time=1d9a0b0c0d0e0f0\n"
            "\"DesktopPath\"=\"C:\\\\Program Files\\\\Palm\"\n"
            "\"HotSyncPath\"=\"C:\\\\Program Files\\\\Palm\\\\HotSync.exe\"\n"
            "\"Path\"=\"C:\\\\Program Files\\\\Palm\\\\\"\n");
    }

    // The desktop libraries, in the letter cases Palm ships them.
    void InstallLibraries(bool condMgr = true, bool userData = true, bool hsApi = true, bool instAide = true) {
        std::filesystem::create_directories(Palm());
        if (condMgr) WriteText(Palm() / "CondMgr.dll", "MZ");
        if (userData) WriteText(Palm() / "userdata.dll", "MZ");
        if (hsApi) WriteText(Palm() / "HSAPI.dll", "MZ");
        if (instAide) WriteText(Palm() / "InstAide.dll", "MZ");
    }

    // Two users: JohnD with memopad/memopad.dat, Mary S with
    // MemoPad/MEMOPAD.DAT (letter cases as different Palm versions leave
    // them), and a HotSync profile.
    void InstallUsers() {
        const std::vector<FakeUser> users = {{7, "Profile", "Profile"},
                                             {0x1234567, "John Doe", "JohnD"},
                                             {0x2345678, "Mary S", "MaryS"}};
        WriteFile(Palm() / "users.dat", BuildUsersDat(users));
        WriteMemos(Palm() / "JohnD" / "memopad" / "memopad.dat", "john deleted");
        WriteMemos(Palm() / "MaryS" / "MemoPad" / "MEMOPAD.DAT", "mary deleted");
        std::filesystem::create_directories(Palm() / "Profile" / "memopad");
    }

    void InstallAll() {
        InstallRegistry();
        InstallLibraries();
        InstallUsers();
    }

    static void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
        std::filesystem::create_directories(path.parent_path());
        WriteFileBytes(path.string(), bytes);
    }

    // An extended memo file with one live and one deleted memo.
    static void WriteMemos(const std::filesystem::path& path, const std::string& deletedText) {
        MemoFileLayout spec;
        MemoRecordLayout live;
        live.id = 1;
        live.text = "live memo";
        MemoRecordLayout gone;
        gone.id = 2;
        gone.status = 0x84;
        gone.text = deletedText;
        spec.memos = {live, gone};
        WriteFile(path, BuildExtendedMemoFile(spec));
    }

    static constexpr const char* kHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n#arch=win32\n\n";

private:
    TempDir m_dir;
};

}  // namespace lazrine::testing
