#include "common/palm/PmCategoryMgr.h"

#include <gtest/gtest.h>

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

TEST(PmCategoryMgr, RefusesSlotOutsideListOrTaken) {
    PmCategoryMgr mgr;
    PmCategory unfiled = Make(0, 0, "Unfiled");
    ASSERT_TRUE(mgr.Add(unfiled));
    PmCategory high = Make(16, 3, "High");
    EXPECT_FALSE(mgr.Add(high));
    PmCategory a = Make(2, 3, "A");
    ASSERT_TRUE(mgr.Add(a));
    PmCategory b = Make(2, 4, "B");
    EXPECT_FALSE(mgr.Add(b));
}

TEST(PmCategory, NameKeepsFifteenCharacters) {
    PmCategory c;
    c.SetName("Twenty characters!!!");
    EXPECT_EQ(c.GetName(), "Twenty characte");
    std::string out;
    EXPECT_FALSE(c.CopyName(out, 10));
    EXPECT_TRUE(c.CopyName(out, 256));
    EXPECT_EQ(out, "Twenty characte");
}

}  // namespace
}  // namespace lazrine::palm
