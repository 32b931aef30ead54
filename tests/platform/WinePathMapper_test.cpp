#include "platform/WinePathMapper.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/FakeWinePrefix.h"

namespace lazrine::platform {
namespace {

namespace fs = std::filesystem;

class WinePathMapperTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(prefix.DriveC() / "Program Files" / "Palm" / "JohnD" / "MemoPad");
        testing::WriteText(prefix.DriveC() / "Program Files" / "Palm" / "JohnD" / "MemoPad" / "MemoPad.mdb", "x");
        fs::create_directories(prefix.DriveC() / "Program Files" / "Palm" / "Jos\xc3\xa9");
        drive = fs::canonical(prefix.DriveC()).string();
    }
    testing::FakeWinePrefix prefix;
    std::string drive;
};

TEST_F(WinePathMapperTest, MapsDrivesAndMatchesEachElementInAnyCase) {
    const WinePathMapper mapper(prefix.Prefix().string());
    std::string out;
    ASSERT_TRUE(mapper.ToHostPath("c:\\PROGRAM FILES\\palm\\johnd\\memopad\\memopad.MDB", out));
    EXPECT_EQ(out, drive + "/Program Files/Palm/JohnD/MemoPad/MemoPad.mdb");
    ASSERT_TRUE(mapper.ToHostPath("C:\\Program Files\\Palm\\", out));
    EXPECT_EQ(out, drive + "/Program Files/Palm/");
    // A Windows-1252 name finds its UTF-8 spelling on the host.
    ASSERT_TRUE(mapper.ToHostPath("C:/program files/PALM/Jos\xe9\\", out));
    EXPECT_EQ(out, drive + "/Program Files/Palm/Jos\xc3\xa9/");
    // Missing elements stay as written; ".." never climbs above the drive.
    ASSERT_TRUE(mapper.ToHostPath("C:\\..\\..\\Program Files\\Nope\\File.dat", out));
    EXPECT_EQ(out, drive + "/Program Files/Nope/File.dat");
    // Without the dosdevices link, C: is still the prefix's drive_c.
    fs::remove(prefix.Prefix() / "dosdevices" / "c:");
    ASSERT_TRUE(mapper.ToHostPath("C:\\program files", out));
    EXPECT_EQ(out, (prefix.Prefix() / "drive_c" / "Program Files").string());
}

TEST_F(WinePathMapperTest, HostPathsStandAndBadTextsFail) {
    const WinePathMapper mapper(prefix.Prefix().string());
    std::string out;
    const std::string host = (prefix.DriveC() / "Program Files").string();
    ASSERT_TRUE(mapper.ToHostPath(host + "/PALM\\johnd\\", out));
    EXPECT_EQ(out, host + "/Palm/JohnD/");
    std::string error;
    EXPECT_FALSE(mapper.ToHostPath("", out, &error));
    EXPECT_FALSE(mapper.ToHostPath("Q:\\Palm", out, &error));
    EXPECT_NE(error.find("Q:"), std::string::npos);
    EXPECT_FALSE(mapper.ToHostPath("\\\\server\\share\\Palm", out, &error));
    EXPECT_FALSE(mapper.ToHostPath(std::string("C:\\a\0b", 6), out, &error));
    const WinePathMapper noPrefix("");
    EXPECT_FALSE(noPrefix.ToHostPath("C:\\Palm", out, &error));
    EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace lazrine::platform
