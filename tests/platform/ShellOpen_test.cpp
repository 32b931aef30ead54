#include "platform/ShellOpen.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/ModuleDir.h"
#include "support/TempDir.h"
#include "support/SystemSupport.h"

namespace lazrine::platform {
namespace {

TEST(ShellOpen, HandsTheTargetToTheOpenerUnchanged) {
    LAZRINE_SKIP_ON_WINDOWS("the opener is a shell script");
    EXPECT_FALSE(ShellOpen::ShellOpenDocument(""));
    testing::TempDir dir;
    const std::string script = dir.File("opener.sh");
    const std::string seen = dir.File("seen.txt");
    std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << seen << ".tmp' && mv '" << seen << ".tmp' '"
                          << seen << "'\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    ShellOpen::SetOpener(script);
    const std::string target = "https://example.org/help?a=1&b=$(touch x) 'q'";
    EXPECT_TRUE(ShellOpen::ShellOpenDocument(target));
    for (int i = 0; i < 200 && !std::filesystem::exists(seen); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::stringstream text;
    text << std::ifstream(seen).rdbuf();
    EXPECT_EQ(text.str(), target);
    // An opener that cannot run still counts as asked.
    ShellOpen::SetOpener(dir.File("missing-opener"));
    EXPECT_TRUE(ShellOpen::ShellOpenDocument("x"));
    ShellOpen::SetOpener("");
}

TEST(ModuleDir, IsTheFolderOfTheRunningProgram) {
    std::string dir;
    ASSERT_TRUE(ModuleDir::GetModuleDir(dir));
    ASSERT_FALSE(dir.empty());
#ifdef _WIN32
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_TRUE(std::filesystem::exists(dir + "lazrine_tests.exe"));
#else
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(dir + "lazrine_tests"));
#endif
    EXPECT_EQ(ModuleDir::FileBeside("tamrisk.ini"), dir + "tamrisk.ini");
}

}  // namespace
}  // namespace lazrine::platform
