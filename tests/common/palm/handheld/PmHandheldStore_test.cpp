// A handheld backup as a store of its kind: which databases it refuses and
// why, the encoding it reads texts in, and what a status change may write.
#include "common/palm/handheld/PmHandheldStore.h"

#include <gtest/gtest.h>

#include "common/palm/PmAddrInfo.h"
#include "common/palm/PmMemoInfo.h"
#include "support/PalmPdbBuilder.h"
#include "support/TempDirTest.h"

namespace lazrine::palm {
namespace {

using testing::BuildPdb;
using testing::PdbLayout;
using testing::PdbText;

class PmHandheldStoreTest : public testing::TempDirTest {};

TEST_F(PmHandheldStoreTest, RefusesPalmOs5AndOtherDatabasesByTheirHeader) {
    const struct {
        const char* name;
        const char* type;
        const char* creator;
        const char* reason;
    } cases[] = {
        {"ContactsDB-PAdd", "DATA", "PAdd", "a Palm OS 5 ContactsDB-PAdd database; not read yet"},
        {"CalendarDB-PDat", "DATA", "PDat", "a Palm OS 5 CalendarDB-PDat database; not read yet"},
        {"TasksDB-PTod", "DATA", "PTod", "a Palm OS 5 TasksDB-PTod database; not read yet"},
        {"MemosDB-PMem", "DATA", "PMem", "a Palm OS 5 MemosDB-PMem database; not read yet"},
        {"MemoDB", "DATA", "memo", "type DATA and creator memo; AddressDB has type DATA and creator addr"},
        {"AddressDB", "appl", "addr", "a Palm OS database of type appl and creator addr;"},
    };
    for (const auto& c : cases) {
        PdbLayout layout;
        layout.name = c.name;
        layout.type = c.type;
        layout.creator = c.creator;
        layout.records = {{0x80, 1, PdbText("x")}};
        PmAddrInfo info;
        EXPECT_FALSE(info.LoadFile(Put(BuildPdb(layout), "AddressDB.pdb")));
        EXPECT_NE(info.LastError().find(c.reason), std::string::npos) << info.LastError();
        EXPECT_EQ(info.EntryCount(), 0u);
    }
}

// Shift-JIS only when every text reads so and holds kana; Western texts
// that happen to be valid Shift-JIS ("don't" with a curly quote)
// stay Windows-1252.
TEST_F(PmHandheldStoreTest, ReadsJapaneseDatabasesAsShiftJis) {
    const struct {
        std::vector<std::string> categories;
        std::string text;
        bool japanese;
        const char* category;  // of record 1, UTF-8
        const char* utf8;
    } cases[] = {
        {{"Unfiled", "\x83\x72\x83\x57\x83\x6C\x83\x58"}, "\x83\x81\x83\x82 \x93\xFA\x96\x7B", true,
         "\xE3\x83\x93\xE3\x82\xB8\xE3\x83\x8D\xE3\x82\xB9", "\xE3\x83\xA1\xE3\x83\xA2 \xE6\x97\xA5\xE6\x9C\xAC"},
        {{"Unfiled", "Business"}, "don\x92t", false, "Business", "don\xE2\x80\x99t"},
        {{"Unfiled", "\x82\xA0"}, "caf\xE9 au lait", false, "\xE2\x80\x9A\xC2\xA0", "caf\xC3\xA9 au lait"},
    };
    for (const auto& c : cases) {
        PdbLayout layout;
        layout.categories = c.categories;
        layout.records = {{0x01, 7, PdbText(c.text)}};
        PmMemoInfo info;
        ASSERT_TRUE(info.LoadFile(Put(BuildPdb(layout), "MemoDB.pdb"))) << info.LastError();
        EXPECT_EQ(info.Handheld().IsJapanese(), c.japanese);
        EXPECT_EQ(info.WholeFieldText(0, misc::CommNoteMgr::kNote), c.utf8);
        EXPECT_EQ(info.WholeFieldText(0, misc::CommNoteMgr::kCategory), c.category);
    }
}

// Whatever the attribute byte, bringing a record back changes at most bits
// 0x80 and 0x08, and only of a deleted record; an unchanged status writes
// the byte as it was.
TEST(PmHandheldStoreStatusTest, AStatusChangeWritesOnlyTheDeletionBits) {
    for (int byte = 0; byte < 256; ++byte) {
        const auto attributes = static_cast<std::uint8_t>(byte);
        const std::uint32_t status = PmHandheldStore::StatusOf(attributes);
        EXPECT_EQ(PmHandheldStore::AttributesFor(attributes, status, status), attributes);
        const std::uint8_t back = PmHandheldStore::AttributesFor(attributes, status, PmUndeletedStatus(status));
        EXPECT_EQ(back, (attributes & 0x80) != 0 ? attributes & ~0x88 : attributes) << byte;
        EXPECT_EQ(PmHandheldStore::StatusOf(back), 0u);
    }
}

}  // namespace
}  // namespace lazrine::palm
