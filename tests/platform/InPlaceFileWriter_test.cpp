#include "platform/InPlaceFileWriter.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace lazrine::platform {
namespace {

using namespace lazrine::testing;

TEST(InPlaceFileWriterTest, ChangesBytesWhereTheyStandAndNeverExtends) {
    TempDir dir;
    const std::string path = dir.File("data.bin");
    WriteFileBytes(path, {1, 2, 3, 4, 5, 6});
    InPlaceFileWriter w;
    IoError error;
    ASSERT_TRUE(w.Open(path, error)) << error.szText;
    const std::uint8_t patch[] = {9, 9};
    ASSERT_TRUE(w.WriteAt(2, patch, error)) << error.szText;
    EXPECT_FALSE(w.WriteAt(5, patch, error));  // would grow the file
    EXPECT_FALSE(w.WriteAt(100, patch, error));
    std::uint8_t two[2] = {};
    ASSERT_TRUE(w.ReadAt(2, two, error));
    EXPECT_EQ(two[0], 9);
    EXPECT_FALSE(w.ReadAt(5, two, error));
    ASSERT_TRUE(w.Flush(error)) << error.szText;
    ASSERT_TRUE(w.Close(error));
    EXPECT_EQ(ReadFileBytes(path), (std::vector<std::uint8_t>{1, 2, 9, 9, 5, 6}));
    EXPECT_FALSE(w.WriteAt(0, patch, error));
    EXPECT_FALSE(w.Flush(error));
}

TEST(InPlaceFileWriterTest, HoldsAnExclusiveLock) {
    TempDir dir;
    const std::string path = dir.File("data.bin");
    WriteFileBytes(path, {1, 2, 3});
    InPlaceFileWriter first;
    InPlaceFileWriter second;
    IoError error;
    ASSERT_TRUE(first.Open(path, error)) << error.szText;
    EXPECT_FALSE(second.Open(path, error));
    EXPECT_EQ(error.nCode, IoFailure::kInUse) << error.szText;
    ASSERT_TRUE(first.Close(error));
    EXPECT_TRUE(second.Open(path, error)) << error.szText;
    std::vector<std::uint8_t> all;
    ASSERT_TRUE(second.ReadAll(all, error));
    EXPECT_EQ(all.size(), 3u);
    EXPECT_FALSE(InPlaceFileWriter().Open(dir.File("missing"), error));
    EXPECT_FALSE(InPlaceFileWriter().Open(dir.Path().string(), error));
}

// A database marked read-only is refused, even where our rights would let
// us write it (as for the administrator), as Windows refuses it.
TEST(InPlaceFileWriterTest, AReadOnlyFileIsRefused) {
    TempDir dir;
    const std::string path = dir.File("MemoPad.mdb");
    WriteFileBytes(path, {1, 2, 3});
    std::filesystem::permissions(path, std::filesystem::perms(0444));
    InPlaceFileWriter w;
    IoError error;
    EXPECT_FALSE(w.Open(path, error));
    EXPECT_EQ(error.szText, path + " is read-only; it was not changed");
}

}  // namespace
}  // namespace lazrine::platform
