#include "common/palm/PmCategoryMgr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace lazrine::palm {
namespace {

PmCategory Make(std::int32_t index, std::int32_t id, const std::string& name) {
    PmCategory c;
    c.SetIndex(index);
    c.SetId(id);
    c.SetName(name);
    return c;
}

TEST(PmCategoryMgr, AssignsFreeSlotAndIdAfterUnfiled) {
    PmCategoryMgr mgr;
    PmCategory unfiled = Make(0, 0, "Unfiled");
    ASSERT_TRUE(mgr.Add(unfiled));
    PmCategory work = Make(-1, -1, "Work");
    ASSERT_TRUE(mgr.Add(work));
    EXPECT_EQ(work.GetIndex(), 1);
    EXPECT_EQ(work.GetId(), 1);
    EXPECT_TRUE(work.GetFlags() & PmCategory::kFlagDirty);
    EXPECT_EQ(mgr.Count(), 2);
}

TEST(PmCategoryMgr, NewIdNeedsUnfiledAndRefusesDuplicates) {
    PmCategoryMgr empty;
    PmCategory c = Make(-1, -1, "X");
    EXPECT_FALSE(empty.Add(c));

    PmCategoryMgr mgr;
    PmCategory unfiled = Make(0, 0, "Unfiled");
    ASSERT_TRUE(mgr.Add(unfiled));
    PmCategory dup = Make(3, 0, "Again");
    EXPECT_FALSE(mgr.Add(dup));
}

TEST(PmCategoryMgr, SafeNameReplacesShortFileNameCharacters) {
    EXPECT_EQ(PmCategoryMgr::SafeNameOf("Work/Home"), "Work_Home");
    EXPECT_EQ(PmCategoryMgr::SafeNameOf("a\"*+,./:;<=>?[\\]^|b"), "a_________________b");
    PmCategoryMgr mgr;
    PmCategory c = Make(1, 5, "Work/Home");
    c.SetSafeName("whatever the file said");
    ASSERT_TRUE(mgr.Add(c));
    EXPECT_EQ(mgr.AtIndex(1)->GetSafeName(), "Work_Home");
}

TEST(PmCategoryMgr, LookupsAndBounds) {
    PmCategoryMgr mgr;
    PmCategory unfiled = Make(0, 0, "Unfiled");
    ASSERT_TRUE(mgr.Add(unfiled));
    PmCategory five = Make(5, 9, "Travel");
    ASSERT_TRUE(mgr.Add(five));
    EXPECT_EQ(mgr.FindByName("unfiled"), mgr.AtIndex(0));
    EXPECT_EQ(mgr.FindByName(""), nullptr);
    EXPECT_EQ(mgr.FindById(9), mgr.AtIndex(5));
    EXPECT_EQ(mgr.AtIndex(16), nullptr);
    EXPECT_EQ(mgr.AtIndex(65535), nullptr);
    EXPECT_EQ(mgr.AtIndex(65536 + 5), mgr.AtIndex(5));  // taken as u16
    std::vector<int> walked;
    for (const PmCategory* c = mgr.First(); c != nullptr; c = mgr.Next()) {
        walked.push_back(c->GetIndex());
    }
    EXPECT_EQ(walked, (std::vector<int>{0, 5}));
}

// A file may hold more categories than Palm Desktop writes, in slots past
// the sixteen or in slots already taken, and names of any length: every one
// is kept, whole, in slot order.
TEST(PmCategoryMgr, KeepsCategoriesPastTheSixteenSlotsAndLongNames) {
    PmCategoryMgr mgr;
    PmCategory unfiled = Make(0, 0, "Unfiled");
    ASSERT_TRUE(mgr.Add(unfiled));
    const std::string longName = "A category name of thirty-six chars";
    for (std::int32_t i = 1; i <= 20; ++i) {
        PmCategory c = Make(i > 17 ? 2 : i, 100 + i, i == 2 ? longName : "C" + std::to_string(i));
        ASSERT_TRUE(mgr.Add(c)) << i;
    }
    EXPECT_EQ(mgr.Count(), 21);
    EXPECT_EQ(mgr.FindById(102)->GetName(), longName);
    EXPECT_EQ(mgr.FindById(117)->GetIndex(), 17);
    EXPECT_EQ(mgr.AtIndex(2)->GetId(), 102);
    EXPECT_EQ(mgr.AtIndex(17), nullptr);
    std::vector<int> walked;
    for (const PmCategory* c = mgr.First(); c != nullptr; c = mgr.Next()) {
        walked.push_back(c->GetIndex());
    }
    EXPECT_TRUE(std::is_sorted(walked.begin(), walked.end()));
    PmCategory dup = Make(3, 105, "Same id");
    EXPECT_FALSE(mgr.Add(dup));
    PmCategory noSlot = Make(-1, 500, "No free slot");
    EXPECT_FALSE(mgr.Add(noSlot));
}

}  // namespace
}  // namespace lazrine::palm
