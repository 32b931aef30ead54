// The column table of every database store: what the shared loader and the
// status write rely on for each kind.
#include "common/palm/database/PmDbStore.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/palm/database/PmAddrEx2Util.h"
#include "common/palm/database/PmDateEx2Util.h"
#include "common/palm/database/PmMemoEx2Util.h"
#include "common/palm/database/PmTodoEx2Util.h"

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

}  // namespace
}  // namespace lazrine::palm
