// The column table of every database store: what the shared loader and the
// status write rely on for each kind.
#include "common/palm/database/PmDbStore.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/palm/database/PmAddrEx2Util.h"
#include "common/palm/database/PmDateEx2Util.h"
#include "common/palm/database/PmMemoEx2Util.h"
#include "common/palm/database/PmTodoEx2Util.h"
#include "support/JetPageEditor.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"
#include "support/TestData.h"

namespace lazrine::palm {
namespace {

template <class Store>
class PmDbStoreTest : public ::testing::Test {};
using Stores = ::testing::Types<PmAddrEx2Util, PmDateEx2Util, PmTodoEx2Util, PmMemoEx2Util>;
TYPED_TEST_SUITE(PmDbStoreTest, Stores);

// A row holds a value per column the kind's conversions index, and every key
// column a save checks is one of the columns loaded (its text was kept).
TYPED_TEST(PmDbStoreTest, TheTableFitsTheKindsConversionsAndKeys) {
    const PmDbTable& table = TypeParam::Table();
    ASSERT_EQ(table.columns.size(), TypeParam::kColumnCount);
    EXPECT_EQ(TypeParam::ColumnName(0), "Record ID");
    EXPECT_EQ(TypeParam::ColumnName(1), "Status");
    EXPECT_EQ(TypeParam::ColumnName(TypeParam::kColumnCount), "");
    ASSERT_FALSE(table.keyColumns.empty());
    for (const std::string& key : table.keyColumns) {
        EXPECT_NE(std::find(table.columns.begin(), table.columns.end(), key), table.columns.end()) << key;
    }
    // A kind's own columns are what tell its database from another kind's.
    std::string why;
    EXPECT_TRUE(PmDBEx2Util::MainFitsKind(table.nKind, table.columns, why)) << why;
}

// Rows reach the store as the engine reads them. When the engine fails on a
// later row (its slot made to point nowhere), the records made until then
// are dropped: the load fails with the engine's reason and leaves the store
// without records, however it was before.
TYPED_TEST(PmDbStoreTest, AnEngineFailurePartWayLeavesNoRecords) {
    const PmKindInfo& kind = PmKindInfo::Of(TypeParam::Table().nKind);
    const std::string good = testing::TestDataCopy(std::string("mdb/") + kind.szDbFile);
    auto bytes = testing::ReadFileBytes(good);
    std::vector<testing::JetPageEditor::RowPlace> rows;
    std::string error;
    ASSERT_TRUE(testing::JetPageEditor::Rows(bytes, 24, rows, error)) << error;  // Main
    ASSERT_GT(rows.size(), 2u);
    ASSERT_TRUE(testing::JetPageEditor::SetSlotFlags(bytes, rows.back().nPage, rows.back().nSlot, 0x4000, error));
    testing::TempDir dir;
    const std::string broken = dir.File(kind.szDbFile);
    testing::WriteFileBytes(broken, bytes);

    TypeParam store(good);
    ASSERT_TRUE(store.IsLoaded()) << store.LastError();
    ASSERT_EQ(store.Count(), rows.size());
    EXPECT_FALSE(store.Load(broken));
    EXPECT_NE(store.LastError().find("overflow row of table Main"), std::string::npos) << store.LastError();
    EXPECT_FALSE(store.IsLoaded());
    EXPECT_EQ(store.Count(), 0u);
    EXPECT_TRUE(store.Load(good)) << store.LastError();
    EXPECT_EQ(store.Count(), rows.size());
}

}  // namespace
}  // namespace lazrine::palm
