// Replays every input under tests/data/fuzz/<target>/ through the check its
// fuzz target runs. Each file there once broke a reader or one of its
// properties; dropping a new crash file into the folder adds its test.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/FuzzHarness.h"
#include "support/PalmFileBuilder.h"

namespace lazrine::testing {
namespace {

using Check = std::function<std::string(std::span<const std::uint8_t>)>;

void ReplayFolder(const std::string& target, const Check& check) {
    const std::filesystem::path folder = std::filesystem::path(LAZRINE_TEST_DATA_DIR) / "fuzz" / target;
    if (!std::filesystem::is_directory(folder)) {
        return;  // no input of this target has broken anything yet
    }
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const auto& input : inputs) {
        const std::vector<std::uint8_t> bytes = ReadFileBytes(input.string());
        EXPECT_EQ(check(bytes), "") << "input " << input.filename();
    }
}

TEST(FuzzRegression, RecordPrimitives) { ReplayFolder("record_primitives", FuzzHarness::RecordPrimitives); }
TEST(FuzzRegression, CategorySection) { ReplayFolder("category_section", FuzzHarness::CategorySection); }
TEST(FuzzRegression, ExtendedMemoFile) { ReplayFolder("extended_memo", FuzzHarness::ExtendedMemoFile); }
TEST(FuzzRegression, ClassicMemoFile) { ReplayFolder("classic_memo", FuzzHarness::ClassicMemoFile); }
TEST(FuzzRegression, SqlStatement) { ReplayFolder("sql_statement", FuzzHarness::SqlStatement); }
TEST(FuzzRegression, JetDatabase) { ReplayFolder("jet_database", FuzzHarness::JetDatabase); }
TEST(FuzzRegression, UsersFile) { ReplayFolder("users_file", FuzzHarness::UsersFile); }
TEST(FuzzRegression, WineRegistry) { ReplayFolder("wine_registry", FuzzHarness::WineRegistry); }

}  // namespace
}  // namespace lazrine::testing
