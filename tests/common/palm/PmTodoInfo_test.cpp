#include "common/palm/PmTodoInfo.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "common/palm/desktop/PmUserDataPath.h"
#include "platform/LocalClock.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"
#include "support/TestData.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;
using misc::CommTaskMgr;

TodoRecordLayout Todo(std::uint32_t id, std::uint32_t status, std::string description, std::uint32_t priority,
              std::uint32_t completed, std::uint32_t alarm, std::uint32_t due) {
    TodoRecordLayout t;
    t.id = id;
    t.status = status;
    t.description = std::move(description);
    t.priority = priority;
    t.completed = completed;
    t.alarm = alarm;
    t.dueDate = due;
    return t;
}

TodoFileLayout Mixed() {
    TodoFileLayout spec;
    spec.todos = {Todo(1, 0x00, "live", 1, 0, 1, 1237075200), Todo(2, 0x84, "gone 84", 5, 7, 0, 0),
                  Todo(3, 0x06, std::string(300, 'x'), 3, 0, 1, 1609459200), Todo(4, 0x80, "archived", 9, 1, 0, 0),
                  Todo(5, 0x01, "Two\r\nlines \xE9", 2, 0, 0, 4000000000u)};
    spec.todos[1].priv = 1;
    spec.todos[4].note = std::string(9000, 'n');
    return spec;
}

class PmTodoInfoTest : public TempDirTest {
protected:
    void SetUp() override { platform::LocalClock::UseTimeZone("UTC"); }
    void TearDown() override {
        platform::LocalClock::UseTimeZone("");
        PmUserDataPath::SetResolver(nullptr);
    }
};

TEST_F(PmTodoInfoTest, BothFileGenerationsShowTheSameTexts) {
    const auto extended = Put(BuildExtendedTodoFile(Mixed()), "e.dat");
    const auto classic = Put(BuildClassicTodoFile(Mixed()), "c.dat");
    const auto junk = Put({'n', 'o', 't', ' ', 'p', 'a', 'l', 'm'}, "junk.dat");
    EXPECT_EQ(PmTodoInfo::ProbeFile(extended), PM_STORE_EXTENDED);
    EXPECT_EQ(PmTodoInfo::ProbeFile(classic), PM_STORE_CLASSIC);
    EXPECT_EQ(PmTodoInfo::ProbeFile(junk), PM_STORE_FAILED);

    struct Row {
        const char* subject;
        const char* due;
        const char* completed;
        const char* priority;
        const char* alarm;
        const char* priv;
    };
    const Row rows[] = {
        {"live", "03/15/2009", "No", "High", "Yes", "No"},
        {"gone 84", "N/A", "Yes", "Low", "No", "Yes"},
        {nullptr, "01/01/2021", "No", "Normal", "Yes", "No"},
        {"archived", "N/A", "Yes", "Normal", "No", "No"},
        {"Two\r\nlines \xE9", "N/A", "No", "Normal", "No", "No"},
    };
    for (const auto& [path, kind] : {std::pair{extended, PM_STORE_EXTENDED}, std::pair{classic, PM_STORE_CLASSIC}}) {
        SCOPED_TRACE(path);
        PmTodoInfo info;
        info.SetIncludeDeleted(true);
        ASSERT_TRUE(info.LoadFile(path));
        EXPECT_EQ(info.LoadedKind(), kind);
        ASSERT_EQ(info.CommonCount(), 5u);
        for (std::size_t i = 0; i < 5; ++i) {
            SCOPED_TRACE(i);
            const Row& r = rows[i];
            if (r.subject != nullptr) {
                EXPECT_EQ(info.FieldText(i, CommTaskMgr::kSubject), r.subject);
            }
            EXPECT_EQ(info.FieldText(i, CommTaskMgr::kDueDate), r.due);
            EXPECT_EQ(info.FieldText(i, CommTaskMgr::kCompleted), r.completed);
            EXPECT_EQ(info.FieldText(i, CommTaskMgr::kPriority), r.priority);
            // The classic task has no alarm.
            EXPECT_EQ(info.FieldText(i, CommTaskMgr::kAlarm), kind == PM_STORE_CLASSIC ? "No" : r.alarm);
            EXPECT_EQ(info.FieldText(i, CommTaskMgr::kPrivate), r.priv);
            EXPECT_EQ(info.CommonAt(i).nSource, kind == PM_STORE_CLASSIC ? 1u : 2u);
            EXPECT_EQ(info.CommonAt(i).nId, i + 1);
        }
        EXPECT_EQ(info.FieldText(2, CommTaskMgr::kSubject), std::string(254, 'x'));
        EXPECT_EQ(info.WholeFieldText(2, CommTaskMgr::kSubject), std::string(300, 'x'));
        EXPECT_EQ(info.WholeFieldText(4, CommTaskMgr::kNote).size(), 9000u);
    }
    PmTodoInfo info;
    EXPECT_FALSE(info.LoadFile(junk));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_FAILED);
    EXPECT_EQ(info.CommonCount(), 0u);
}

TEST_F(PmTodoInfoTest, UndeleteAndSaveChangeExactlyTheStatusWords) {
    for (const bool extended : {true, false}) {
        SCOPED_TRACE(extended);
        const auto build = extended ? BuildExtendedTodoFile : BuildClassicTodoFile;
        TodoFileLayout spec = Mixed();
        spec.headerBlock[12] = 5;
        spec.headerBlock[13] = 0x10;
        const auto path = Put(build(spec), extended ? "ex.dat" : "cl.dat");
        PmTodoInfo info;
        ASSERT_TRUE(info.LoadFile(path));
        ASSERT_EQ(info.CommonCount(), 2u);  // deleted and archived left out
        info.SetIncludeDeleted(true);
        ASSERT_TRUE(info.LoadFile(path));
        ASSERT_TRUE(info.UndeleteAt(1));
        ASSERT_TRUE(info.UndeleteAt(2));
        ASSERT_TRUE(info.Save()) << info.LastError();
        spec.todos[1].status = 0x01;
        spec.todos[2].status = 0x03;
        EXPECT_EQ(ReadFileBytes(path), build(spec));
    }
}

TEST_F(PmTodoInfoTest, AUserFolderWithADatabaseAndAFileLoadsTheDatabase) {
    const auto userDir = dir.Path() / "User";
    std::filesystem::create_directories(userDir / "todo");
    PmUserDataPath::SetResolver([&](std::uint32_t id, std::string& folder, std::string& error) {
        if (id != 7) {
            error = "unknown user";
            return false;
        }
        folder = userDir.string() + "/";
        return true;
    });
    WriteFileBytes((userDir / "todo" / "todo.dat").string(), BuildClassicTodoFile(Mixed()));
    PmTodoInfo info;
    EXPECT_TRUE(info.LoadForUser(7));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_CLASSIC);
    WriteFileBytes((userDir / "todo" / "todo.dat").string(), BuildExtendedTodoFile(Mixed()));
    EXPECT_TRUE(info.LoadForUser(7));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_EXTENDED);
    WriteFileBytes((userDir / "todo" / "Todolist.mdb").string(), ReadFileBytes(TestDataCopy("mdb/Todolist.mdb")));
    EXPECT_TRUE(info.LoadForUser(7)) << info.LastError();
    EXPECT_EQ(info.LoadedKind(), PM_STORE_DATABASE);
    EXPECT_FALSE(info.LoadForUser(8));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_FAILED);
}

TEST_F(PmTodoInfoTest, TheKindDescribesTheTaskPage) {
    const PmKindInfo& kind = PmTodoInfo::KindInfo();
    EXPECT_STREQ(kind.szName, "tasks");
    EXPECT_STREQ(kind.szPageCaption, "Task ( Todo List )");
    EXPECT_EQ(kind.SuccessMessage(3), "Palm todo list undelete successfully, 3 records were undeleted.");
    EXPECT_EQ(kind.NothingSelectedMessage(), "No Palm todo list records are selected, undelete action canceled.");
    ASSERT_EQ(kind.columns.size(), 4u);
    EXPECT_STREQ(kind.columns[1].caption, "Due Date");
    EXPECT_EQ(kind.columns[1].key, CommTaskMgr::kDueDate);
}

}  // namespace
}  // namespace lazrine::palm
