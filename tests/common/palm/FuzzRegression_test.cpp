// Replays inputs through the checks the fuzz targets run: every file under
// tests/data/fuzz/<target>/ once broke a reader or one of its properties
// (dropping a new crash file into the folder adds its test), and the
// minimised corpus under fuzz/corpus/<target>/ covers every branch the
// fuzzers have reached, so that each run of the suite checks the properties
// on all of them.
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

void ReplayFolder(const std::string& target, const Check& check, const std::string& extra = {}) {
    const std::filesystem::path data = LAZRINE_TEST_DATA_DIR;
    std::vector<std::filesystem::path> folders = {data / "fuzz" / target,
                                                  data.parent_path().parent_path() / "fuzz" / "corpus" / target};
    if (!extra.empty()) {
        folders.push_back(data / extra);
    }
    std::vector<std::filesystem::path> inputs;
    for (const auto& folder : folders) {
        if (!std::filesystem::is_directory(folder)) {
            continue;  // nothing of this target kept there
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const auto& input : inputs) {
        const std::vector<std::uint8_t> bytes = ReadFileBytes(input.string());
        EXPECT_EQ(check(bytes), "") << "input " << input;
    }
}

TEST(FuzzRegression, RecordPrimitives) { ReplayFolder("record_primitives", FuzzHarness::RecordPrimitives); }
TEST(FuzzRegression, ExtendedTodoFile) { ReplayFolder("extended_todo", FuzzHarness::ExtendedTodoFile); }
TEST(FuzzRegression, ClassicTodoFile) { ReplayFolder("classic_todo", FuzzHarness::ClassicTodoFile); }
TEST(FuzzRegression, RepeatField) { ReplayFolder("repeat_field", FuzzHarness::RepeatField); }
TEST(FuzzRegression, CategorySection) { ReplayFolder("category_section", FuzzHarness::CategorySection); }
TEST(FuzzRegression, ExtendedMemoFile) { ReplayFolder("extended_memo", FuzzHarness::ExtendedMemoFile); }
TEST(FuzzRegression, ClassicMemoFile) { ReplayFolder("classic_memo", FuzzHarness::ClassicMemoFile); }
TEST(FuzzRegression, ExtendedAddressFile) { ReplayFolder("extended_address", FuzzHarness::ExtendedAddressFile); }
TEST(FuzzRegression, ClassicAddressFile) { ReplayFolder("classic_address", FuzzHarness::ClassicAddressFile); }
TEST(FuzzRegression, ExtendedDateFile) { ReplayFolder("extended_date", FuzzHarness::ExtendedDateFile); }
TEST(FuzzRegression, ClassicDateFile) { ReplayFolder("classic_date", FuzzHarness::ClassicDateFile); }
TEST(FuzzRegression, SqlStatement) { ReplayFolder("sql_statement", FuzzHarness::SqlStatement); }
TEST(FuzzRegression, JetDatabase) { ReplayFolder("jet_database", FuzzHarness::JetDatabase, "mdb"); }
TEST(FuzzRegression, JetDatabasePages) { ReplayFolder("jet_pages", FuzzHarness::JetDatabasePages); }
TEST(FuzzRegression, HandheldDatabase) { ReplayFolder("handheld_database", FuzzHarness::HandheldDatabase); }
TEST(FuzzRegression, UsersFile) { ReplayFolder("users_file", FuzzHarness::UsersFile); }
TEST(FuzzRegression, WineRegistry) { ReplayFolder("wine_registry", FuzzHarness::WineRegistry); }

}  // namespace
}  // namespace lazrine::testing
