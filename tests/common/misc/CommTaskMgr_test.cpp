#include "common/misc/CommTaskMgr.h"

#include <gtest/gtest.h>

#include "platform/LocalClock.h"

namespace lazrine::misc {
namespace {

class CommTaskMgrTest : public ::testing::Test {
protected:
    void SetUp() override { platform::LocalClock::UseTimeZone("UTC"); }
    void TearDown() override { platform::LocalClock::UseTimeZone(""); }

    std::string Text(const CommTaskRec& rec, std::uint32_t key, std::size_t len = 4096) const {
        CommFieldInfo info;
        EXPECT_TRUE(mgr.GetFieldInfo(key, info)) << key;
        return mgr.GetFieldText(rec, info, len);
    }
    CommTaskMgr mgr;
};

TEST_F(CommTaskMgrTest, TheFieldTableListsPrivateBeforeAlarmAndIsSearchedByKey) {
    const auto table = mgr.FieldTable();
    ASSERT_EQ(table.size(), 9u);
    const char* const names[] = {"Subject",  "Note",  "Priority", "Completed",    "DueDate",
                                 "Private", "Alarm", "Category", "Palm Priority"};
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].name, names[i]);
    }
    CommFieldInfo info;
    ASSERT_TRUE(mgr.GetFieldInfo(5, info));
    EXPECT_EQ(info.name, "Alarm");
    EXPECT_FALSE(mgr.GetFieldInfo(9, info));
}

TEST_F(CommTaskMgrTest, StoredPrioritiesMapToHighNormalLow) {
    struct Case {
        std::uint32_t stored;
        const char* text;
    };
    for (const Case& c : {Case{1, "High"}, Case{5, "Low"}, Case{2, "Normal"}, Case{3, "Normal"}, Case{4, "Normal"},
                          Case{0, "Normal"}, Case{9, "Normal"}, Case{0xFFFFFFFF, "Normal"}}) {
        CommTaskRec rec;
        rec.nPriority = CommTaskRec::PriorityOf(c.stored);
        EXPECT_EQ(Text(rec, CommTaskMgr::kPriority), c.text) << c.stored;
    }
}

// Every due date that has a local date shows it, whatever its year; only
// "no date", a value without a local date and Palm's "no due date" mark
// (31 December 2031 and later) show "N/A".
TEST_F(CommTaskMgrTest, DueDatesShowEveryYearAndNAOnlyForNoDate) {
    struct Case {
        std::uint32_t value;
        const char* text;
    };
    const Case cases[] = {
        {0, "N/A"},
        {1, "01/01/1970"},
        {946684799, "12/31/1999"},
        {1237075200, "03/15/2009"},
        {1609459200, "01/01/2021"},
        {1956441600 - 1, "12/30/2031"},
        {1956441600, "N/A"},             // 2031-12-31: Palm's "no due date"
        {2147483648u, "N/A"},            // 2038, beyond it
        {0xFFFFFFFFu, "N/A"},
    };
    for (const Case& c : cases) {
        CommTaskRec rec;
        rec.nDueDate = c.value;
        EXPECT_EQ(Text(rec, CommTaskMgr::kDueDate), c.text) << c.value;
    }
}

TEST_F(CommTaskMgrTest, FlagsAndTextsAsTheWindowShowsThemAndWhole) {
    const std::string subject(300, 's');
    const std::string note(9000, 'n');
    CommTaskRec rec;
    rec.szSubject = subject;
    rec.szNote = note;
    rec.bCompleted = 7;
    rec.bPrivate = 1;
    EXPECT_EQ(Text(rec, CommTaskMgr::kSubject).size(), 254u);
    EXPECT_EQ(Text(rec, CommTaskMgr::kNote).size(), 4095u);
    EXPECT_EQ(Text(rec, CommTaskMgr::kNote, 10000).size(), 8190u);
    EXPECT_EQ(Text(rec, CommTaskMgr::kSubject, 11), "ssssssssss");
    CommFieldInfo info;
    ASSERT_TRUE(mgr.GetFieldInfo(CommTaskMgr::kNote, info));
    EXPECT_EQ(mgr.GetWholeFieldText(rec, info), note);
    ASSERT_TRUE(mgr.GetFieldInfo(CommTaskMgr::kSubject, info));
    EXPECT_EQ(mgr.GetWholeFieldText(rec, info), subject);
    EXPECT_EQ(Text(rec, CommTaskMgr::kCompleted), "Yes");
    EXPECT_EQ(Text(rec, CommTaskMgr::kPrivate), "Yes");
    EXPECT_EQ(Text(rec, CommTaskMgr::kAlarm), "No");
}

}  // namespace
}  // namespace lazrine::misc
