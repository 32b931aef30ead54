#include "common/palm/desktop/PmUsersFile.h"

#include <gtest/gtest.h>

#include <random>

#include "support/FakeWinePrefix.h"

namespace lazrine::palm {
namespace {

using testing::BuildUsersDat;

std::vector<testing::FakeUser> ThreeEntries() {
    return {{3, "Profile A", "ProfA"}, {0xA1B2C3D4, "Jos\xe9 P", "JoseP"}, {4096, "Ann", "Ann"}};
}

TEST(PmUsersFile, ReadsUsersAndLeavesProfilesOut) {
    PmUsersFile file;
    ASSERT_TRUE(file.Parse(BuildUsersDat(ThreeEntries())));
    EXPECT_TRUE(file.Complete());
    EXPECT_EQ(file.EntriesRead(), 3u);
    ASSERT_EQ(file.Users().size(), 2u);
    EXPECT_EQ(file.Users()[0].nUserId, 0xA1B2C3D4u);
    EXPECT_EQ(file.Users()[0].szName, "Jos\xe9 P");
    EXPECT_EQ(file.Users()[0].szFolder, "JoseP");
    EXPECT_EQ(file.Users()[1].szFolder, "Ann");

    ASSERT_TRUE(file.Parse(std::vector<std::uint8_t>{0, 0}));
    EXPECT_TRUE(file.Users().empty());
}

TEST(PmUsersFile, StopsAtWhatItDoesNotUnderstand) {
    PmUsersFile file;
    // Wrong class name, wrong first tag, more entries announced than present.
    auto bytes = BuildUsersDat(ThreeEntries());
    bytes[8] = 'X';
    EXPECT_FALSE(file.Parse(bytes));
    EXPECT_TRUE(file.Users().empty());
    bytes = BuildUsersDat(ThreeEntries());
    bytes[2] = 0x01;
    EXPECT_FALSE(file.Parse(bytes));
    bytes = BuildUsersDat(ThreeEntries());
    bytes[0] = 9;
    EXPECT_FALSE(file.Parse(bytes));
    EXPECT_FALSE(file.Complete());
    EXPECT_EQ(file.Users().size(), 2u) << "the users read before the stop are kept";

    // Folder names that could leave the root or name nothing.
    for (const std::string& folder : std::vector<std::string>{"..", ".", "a\\b", "a/b", "", "C:", std::string("x\x01", 2)}) {
        EXPECT_FALSE(file.Parse(BuildUsersDat({{500, "Evil", folder}}))) << folder;
        EXPECT_TRUE(file.Users().empty());
    }
    // The same ID twice.
    EXPECT_FALSE(file.Parse(BuildUsersDat({{500, "A", "A"}, {500, "B", "B"}})));
}

// Any cut and any bytes: a clean answer, never a read past the data.
TEST(PmUsersFile, SurvivesTruncationAndNoise) {
    const auto good = BuildUsersDat(ThreeEntries());
    PmUsersFile file;
    for (std::size_t n = 0; n < good.size(); ++n) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        file.Parse(cut);
        EXPECT_LE(file.Users().size(), 2u);
    }
    std::mt19937 rng(4);
    for (int round = 0; round < 2000; ++round) {
        auto bytes = good;
        for (int k = 0; k < 4; ++k) {
            bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
        }
        file.Parse(bytes);
        for (const auto& user : file.Users()) {
            EXPECT_TRUE(PmUsersFile::IsSafeFolderName(user.szFolder));
            EXPECT_GE(user.nUserId, PmUsersFile::kFirstUserId);
        }
    }
    std::vector<std::uint8_t> huge(PmUsersFile::kMaxBytes + 1, 0);
    EXPECT_FALSE(file.Parse(huge));
    EXPECT_FALSE(file.Parse({}));
}

}  // namespace
}  // namespace lazrine::palm
