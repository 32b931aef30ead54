#include "platform/WineRegFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/WineRegistry.h"
#include "support/BlockingFifo.h"
#include "support/TempDir.h"
#include "support/FakeWinePrefix.h"
#include "support/SystemSupport.h"

namespace lazrine::platform {
namespace {

bool Parse(WineRegFile& reg, const std::string& text) {
    return reg.Parse(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

const std::string kHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";

TEST(WineRegFile, DecodesWineEscapesAndValueKinds) {
    WineRegFile reg;
    ASSERT_TRUE(Parse(reg, kHeader +
                               "[Software\\\\U.S. Robotics\\\\Pilot Desktop\\\\Core] 1700000000\r\n"
                               "#time=1d9\n"
                               "\"DesktopPath\"=\"C:\\\\Program Files\\\\Palm\"\n"
                               "\"Quoted\"=\"say \\\"hi\\\"\\tnow\"\n"
                               "\"Latin\"=\"Jos\\xe9 \\x20ac\\x4e2d\"\n"
                               "\"Utf8\"=\"Jos\xc3\xa9\"\n"
                               "\"Octal\"=\"A\\101\\0B\"\n"
                               "\"Expand\"=str(2):\"%ProgramFiles%\\\\Palm\"\n"
                               "\"Wide\"=hex(2):43,00,3a,00,5c,00,\\\n"
                               "  50,00,00,00\n"
                               "\"Number\"=dword:00000041\n"
                               "@=\"default\"\n"));
    std::string v;
    const std::string key = "software\\u.s. robotics\\PILOT DESKTOP\\core";
    ASSERT_TRUE(reg.QueryValue(key, "desktoppath", v));
    EXPECT_EQ(v, "C:\\Program Files\\Palm");
    ASSERT_TRUE(reg.QueryValue(key, "Quoted", v));
    EXPECT_EQ(v, "say \"hi\"\tnow");
    ASSERT_TRUE(reg.QueryValue(key, "Latin", v));
    EXPECT_EQ(v, "Jos\xe9 \x80?");
    ASSERT_TRUE(reg.QueryValue(key, "Utf8", v));
    EXPECT_EQ(v, "Jos\xe9");
    ASSERT_TRUE(reg.QueryValue(key, "Octal", v));
    EXPECT_EQ(v, "AA") << "text ends at the first zero";
    ASSERT_TRUE(reg.QueryValue(key, "Expand", v));
    EXPECT_EQ(v, "%ProgramFiles%\\Palm");
    ASSERT_TRUE(reg.QueryValue(key, "Wide", v));
    EXPECT_EQ(v, "C:\\P");
    ASSERT_TRUE(reg.QueryValue(key, "Number", v));
    EXPECT_EQ(v, "A");
    ASSERT_TRUE(reg.QueryValue(key, "@", v));
    EXPECT_EQ(v, "default");
    EXPECT_FALSE(reg.QueryValue(key, "Missing", v));

    EXPECT_TRUE(reg.HasKey("Software\\U.S. Robotics"));
    EXPECT_TRUE(reg.HasKey("software"));
    EXPECT_FALSE(reg.HasKey("Software\\U.S."));
    EXPECT_FALSE(reg.HasKey("Software\\U.S. Robotics\\Pilot Desktop\\Core\\Sub"));
}

TEST(WineRegFile, RefusesOrSkipsWhatItDoesNotUnderstand) {
    WineRegFile reg;
    EXPECT_FALSE(Parse(reg, ""));
    EXPECT_FALSE(Parse(reg, "REGEDIT4\n[HKEY_CURRENT_USER\\Software]\n"));
    ASSERT_TRUE(Parse(reg, kHeader +
                               "\"Orphan\"=\"before any key\"\n"
                               "[Unclosed\\\\Key\n"
                               "\"Lost\"=\"x\"\n"
                               "[Good] 1\n"
                               "\"Bad1\"=\"no end\n"
                               "\"Bad2\"=dword:zz\n"
                               "\"Bad3\"=hex:0\n"
                               "\"Bad4\"=\"trailing\\\n"
                               "\"Ok\"=\"fine\"\n"
                               "\"Cont\"=hex:41,\\"));
    std::string v;
    EXPECT_FALSE(reg.HasKey("Unclosed\\Key"));
    EXPECT_FALSE(reg.QueryValue("Good", "Bad1", v));
    EXPECT_FALSE(reg.QueryValue("Good", "Bad2", v));
    EXPECT_FALSE(reg.QueryValue("Good", "Bad3", v));
    ASSERT_TRUE(reg.QueryValue("Good", "Ok", v));
    EXPECT_EQ(v, "fine");

    // Random damage never crashes and never reads past the bytes.
    const std::string good = kHeader + "[A\\\\B] 1\n\"V\"=\"x\\\\y\\x41\\101\"\n\"W\"=hex(2):41,00,\\\n 42,00\n";
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = good;
        for (int k = 0; k < 3; ++k) {
            bytes[kHeader.size() + rng() % (bytes.size() - kHeader.size())] = static_cast<char>(rng());
        }
        bytes.resize(kHeader.size() + rng() % (bytes.size() - kHeader.size() + 1));
        Parse(reg, bytes);
        reg.QueryValue("A\\B", "V", v);
    }
}

// A hive name that is no regular file is refused without being opened.
TEST(WineRegFile, LoadsOnlyARegularFile) {
    lazrine::testing::TempDir dir;
    lazrine::testing::BlockingFifo fifo(dir.File("user.reg"));
    std::filesystem::create_directory(dir.File("system.reg"));
    WineRegFile reg;
    EXPECT_FALSE(reg.LoadFile(dir.File("system.reg")));
    if (fifo.Made()) {
        EXPECT_FALSE(reg.LoadFile(fifo.Path()));
    }
    EXPECT_FALSE(fifo.ReaderOpened());
}

// Hives of a prefix: the current user's and the local machine's, with the
// 32-bit view of a 64-bit prefix.
TEST(WineRegistry, ReadsBothHivesAndThe32BitView) {
    LAZRINE_SKIP_ON_WINDOWS("the Wine prefix stands in for Windows elsewhere");
    testing::FakeWinePrefix prefix;
    prefix.UserReg("[Software\\\\Lazrine] 1\n\"Who\"=\"user\"\n");
    prefix.SystemReg(
        "[Software\\\\PalmSource\\\\Desktop\\\\Core] 1\n\"HotSyncPath\"=\"C:\\\\64\\\\HotSync.exe\"\n"
        "[Software\\\\Wow6432Node\\\\PalmSource\\\\Desktop\\\\Core] 1\n\"HotSyncPath\"=\"C:\\\\32\\\\HotSync.exe\"\n");
    const WineRegistry registry(prefix.Prefix().string());
    std::string v;
    ASSERT_TRUE(registry.QueryValue(WineRegistry::Root::kCurrentUser, "Software\\Lazrine", "Who", v));
    EXPECT_EQ(v, "user");
    EXPECT_FALSE(registry.OpenKey(WineRegistry::Root::kLocalMachine, "Software\\Lazrine"));
    ASSERT_TRUE(registry.QueryValue(WineRegistry::Root::kLocalMachine, "Software\\PalmSource\\Desktop\\Core",
                                    "HotSyncPath", v));
    EXPECT_EQ(v, "C:\\32\\HotSync.exe");
    const WineRegistry none("");
    EXPECT_FALSE(none.OpenKey(WineRegistry::Root::kCurrentUser, "Software"));
}

}  // namespace
}  // namespace lazrine::platform
