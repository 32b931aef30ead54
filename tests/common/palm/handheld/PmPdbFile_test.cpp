// Palm OS record databases from handheld backups: the container, the four
// applications' records, and damaged or foreign bytes of every kind.
#include "common/palm/handheld/PmPdbFile.h"

#include <gtest/gtest.h>

#include <random>

#include "common/palm/handheld/PmHandheldRecords.h"
#include "support/FuzzHarness.h"
#include "support/PalmPdbBuilder.h"

namespace lazrine::palm {
namespace {

using testing::BuildPdb;
using testing::FuzzHarness;
using testing::PdbLayout;
using Records = PmHandheldRecords;

PdbLayout Memos() {
    PdbLayout layout;
    layout.records = {{0x40 | 0x01, 0x10A001, testing::PdbText("Groceries\nmilk")},
                      {0x80 | 0x08, 0x10A002, testing::PdbText("Archived \xE9")},
                      {0x80, 0x10A003, {}},  // deleted, its data gone
                      {0x10 | 0x02, 0x10A004, testing::PdbText("Private")}};
    return layout;
}

TEST(PmPdbFileTest, ReadsHeaderCategoriesAndEveryRecordInPlace) {
    const auto bytes = BuildPdb(Memos());
    PmPdbFile pdb;
    std::string error;
    ASSERT_TRUE(pdb.Parse(bytes, error)) << error;
    EXPECT_EQ(pdb.Name(), "MemoDB");
    EXPECT_EQ(pdb.Type() + pdb.Creator(), "DATAmemo");
    PmPdbFile::Categories categories;
    ASSERT_TRUE(pdb.ReadCategories(categories));
    EXPECT_EQ(categories.names[1], "Business");
    EXPECT_EQ(categories.names[3], "");
    const std::vector<std::string> texts{"Groceries\nmilk", "Archived \xE9", "", "Private"};
    ASSERT_EQ(pdb.Records().size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const PmPdbFile::Record& record = pdb.Records()[i];
        EXPECT_EQ(record.nUniqueId, 0x10A001u + i);
        EXPECT_EQ(bytes[PmPdbFile::AttributeOffset(i)], record.nAttributes);
        Records::Memo memo;
        ASSERT_TRUE(Records::DecodeMemo(pdb.RecordData(record), memo, error));
        EXPECT_EQ(memo.szText, texts[i]);
    }
    EXPECT_EQ(pdb.Records()[2].nSize, 0u);
}

TEST(PmPdbFileTest, RefusesWhatIsNoRecordDatabaseAndSaysWhy) {
    const auto good = BuildPdb(Memos());
    PdbLayout resource = Memos();
    resource.attributes = 0x0001;
    PdbLayout chained = Memos();
    chained.nextRecordList = 0x100;
    auto outside = good;
    outside[78 + 8 + 2] = 0x7F;  // record 2's offset far past the end
    auto longList = good;
    longList[76] = 0x40;
    const struct {
        std::vector<std::uint8_t> bytes;
        const char* reason;
    } cases[] = {
        {std::vector<std::uint8_t>(good.begin(), good.begin() + 70), "shorter than the header"},
        {BuildPdb(resource), "a resource database"},
        {BuildPdb(chained), "second list"},
        {outside, "record 2 lies outside the file"},
        {longList, "longer than the file"},
    };
    for (const auto& c : cases) {
        PmPdbFile pdb;
        std::string error;
        EXPECT_FALSE(pdb.Parse(c.bytes, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_TRUE(pdb.Records().empty());
    }
}

TEST(PmHandheldRecordsTest, DecodesTheFourApplications) {
    std::string error;
    Records::Todo todo;
    ASSERT_TRUE(Records::DecodeTodo(testing::PdbTodo((92 << 9) | (3 << 5) | 15, 0x80 | 2, "Taxes", "by hand"), todo,
                                    error));
    EXPECT_EQ(Records::Year(todo.nDueDate), 1996);
    EXPECT_EQ(Records::Month(todo.nDueDate), 3);
    EXPECT_EQ(Records::Day(todo.nDueDate), 15);
    EXPECT_TRUE(todo.bCompleted);
    EXPECT_EQ(todo.nPriority, 2);
    EXPECT_EQ(todo.szDescription + "|" + todo.szNote, "Taxes|by hand");

    // 9:30 to 10:00, alarm 5 minutes, weekly on Mondays until 1999-12-31,
    // one exception, a description and a note.
    const std::vector<std::uint8_t> event{9, 30, 10, 0, 0xC6, 0x21, 0x7C, 0,  5, 0, 2, 0, 0xC7, 0x9F, 1, 0x02,
                                          0, 0, 0, 1, 0xC6, 0x28, 'M', 'e', 'e', 't', 0, 'R', 'o', 'o', 'm', 0};
    Records::Event appointment;
    ASSERT_TRUE(Records::DecodeEvent(event, appointment, error)) << error;
    EXPECT_EQ(appointment.nStartHour * 60 + appointment.nStartMinute, 570);
    EXPECT_EQ(appointment.nAlarmAdvance, 5);
    EXPECT_EQ(appointment.nRepeatType, Records::Event::kWeekly);
    EXPECT_EQ(appointment.nRepeatEnd, 0xC79F);
    EXPECT_EQ(appointment.nRepeatOn, 0x02);
    EXPECT_EQ(appointment.exceptions, (std::vector<std::uint16_t>{0xC628}));
    EXPECT_EQ(appointment.szDescription + "|" + appointment.szNote, "Meet|Room");

    using C = Records::Contact;
    Records::Contact contact;
    ASSERT_TRUE(Records::DecodeContact(
        testing::PdbContact(0x00374210, {{C::kLastName, "Doe"}, {C::kPhone2, "555"}, {C::kNote, "Met 1998"}}), contact,
        error));
    EXPECT_EQ(contact.fields[C::kLastName], "Doe");
    EXPECT_EQ(contact.fields[C::kPhone2], "555");
    EXPECT_EQ(contact.fields[C::kFirstName], "");
    EXPECT_EQ(contact.fields[C::kNote], "Met 1998");
    EXPECT_EQ(contact.phoneLabels, (std::array<std::uint8_t, 5>{0, 1, 2, 4, 7}));
    EXPECT_EQ(contact.nDisplayPhone, 3);
}

// Every cut and every changed byte of valid records and databases either
// reads or fails with a reason; nothing reads past the bytes given, and the
// store keeps its save and undelete properties (see FuzzHarness).
TEST(PmHandheldRecordsTest, DamagedBytesReadOrFailWithAReason) {
    const auto database = BuildPdb(Memos());
    const std::vector<std::vector<std::uint8_t>> records{
        testing::PdbTodo(0xFFFF, 1, "a", "b"), testing::PdbContact(0, {{0, "x"}, {18, "y"}}),
        {9, 0, 10, 0, 0xC6, 0x21, 0x7C, 0, 5, 0, 2, 0, 0xC7, 0x9F, 1, 2, 0, 0, 0, 1, 0xC6, 0x28, 'M', 0, 'N', 0}};
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        auto bytes = database;
        bytes.resize(random() % (bytes.size() + 1));
        if (!bytes.empty()) {
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        }
        EXPECT_EQ(FuzzHarness::HandheldDatabase(bytes), "");
        PmPdbFile pdb;
        std::string error;
        if (pdb.Parse(bytes, error)) {
            for (const auto& record : pdb.Records()) {
                EXPECT_LE(record.nOffset + record.nSize, bytes.size());
            }
        } else {
            EXPECT_FALSE(error.empty());
        }
        for (const auto& whole : records) {
            auto cut = whole;
            cut.resize(random() % (cut.size() + 1));
            if (!cut.empty()) {
                cut[random() % cut.size()] = static_cast<std::uint8_t>(random());
            }
            Records::Todo todo;
            Records::Event event;
            Records::Contact contact;
            for (const bool ok : {Records::DecodeTodo(cut, todo, error), Records::DecodeEvent(cut, event, error),
                                  Records::DecodeContact(cut, contact, error)}) {
                EXPECT_TRUE(ok || !error.empty());
            }
        }
    }
}

}  // namespace
}  // namespace lazrine::palm
