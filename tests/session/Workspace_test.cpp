// The workspace: which user is selected and kept, what loads without
// users, what the status bar says, and when the settings are written.
#include "session/Workspace.h"

#include <gtest/gtest.h>

#include "support/AppTestFiles.h"
#include "support/TempDir.h"

namespace lazrine::session {
namespace {

using palm::PmKind;
using testing::AppTestFiles;

struct WorkspaceTest : ::testing::Test {
    testing::TempDir dir;
    std::string ini = dir.File("tamrisk.ini");
    std::string memo = dir.File("memopad.dat");

    WorkspaceTest() { AppTestFiles::WriteMemoFile(memo, {{1, 0x00, "Live"}, {2, 0x04, "Gone"}}); }
    static WorkspaceHooks Users(std::vector<palm::PmUserInfo> users) {
        WorkspaceHooks hooks = WorkspaceHooks::Defaults();
        hooks.enumerateUsers = [users] { return users; };
        return hooks;
    }
};

TEST_F(WorkspaceTest, ASavedUserThatIsGoneGivesWayToTheFirstAndTheChoiceIsKept) {
    AppTestFiles::WriteText(ini, "[Lazrine]\nUserID=7\nMemoFile=" + memo + "\n");
    const WorkspaceHooks hooks = Users({{5, "Ann", "Ann"}, {9, "Bob", "Bob"}});
    {
        Workspace workspace(ini, hooks);
        workspace.Open();
        workspace.RefreshUsers();
        EXPECT_EQ(workspace.SelectedUser(), 0u);
        EXPECT_EQ(workspace.Options().nUserId, 5u);
        workspace.SelectUser(1);
        // The named memo file is loaded whichever user is selected.
        EXPECT_EQ(workspace.Session(PmKind::kMemos).Shown().size(), 1u);
        EXPECT_EQ(AppTestFiles::ReadText(ini).find("UserID=9"), std::string::npos);
        EXPECT_TRUE(workspace.Close());
    }
    EXPECT_NE(AppTestFiles::ReadText(ini).find("UserID=9"), std::string::npos);
    Workspace again(ini, hooks);
    again.Open();
    again.RefreshUsers();
    EXPECT_EQ(again.SelectedUser(), 1u);
}

TEST_F(WorkspaceTest, WithoutUsersNamedFilesLoadAndTheStatusSaysWhatIsMissing) {
    AppTestFiles::WriteText(ini, "[Lazrine]\nMemoFile=" + memo + "\nTodoFile=" + dir.File("gone.dat") +
                                     "\nMemoAll=1\n");
    Workspace workspace(ini, Users({}));
    workspace.Open();
    workspace.RefreshUsers();
    workspace.LoadAll();
    EXPECT_TRUE(workspace.Users().empty());
    EXPECT_TRUE(workspace.Session(PmKind::kMemos).ShowAll());
    EXPECT_EQ(workspace.Session(PmKind::kMemos).Shown().size(), 2u);
    EXPECT_EQ(workspace.Session(PmKind::kTasks).LastLoad().nOutcome, Outcome::kMissing);
    const std::string status = workspace.StatusText();
    EXPECT_EQ(status.rfind("No Palm Desktop users were found: ", 0), 0u) << status;
    EXPECT_NE(status.find(".  Palm todo list data could not be loaded: "), std::string::npos) << status;
    workspace.SetShowAll(PmKind::kMemos, false);
    EXPECT_EQ(workspace.Options().AllFlag(PmKind::kMemos), 0);
    EXPECT_EQ(workspace.Session(PmKind::kMemos).Shown().size(), 1u);
}

}  // namespace
}  // namespace lazrine::session
