#include "common/palm/PmTodoExUtil.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "common/palm/PmTodoUtil.h"
#include "platform/AtomicFile.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;

TodoRecordLayout Todo(std::uint32_t id, std::uint32_t status, std::string description) {
    TodoRecordLayout t;
    t.id = id;
    t.status = status;
    t.placement = id * 10;
    t.description = std::move(description);
    return t;
}

// Every priority, completed values, alarms, every repeat kind with and
// without exception dates, categories, CR LF and non-ASCII texts.
TodoFileLayout SampleMemoFile() {
    TodoFileLayout spec;
    spec.headerBlock = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 7, 0x10, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    for (std::size_t i = 0; i < spec.nameBlock.size(); ++i) {
        spec.nameBlock[i] = static_cast<std::uint8_t>(i * 5);
    }
    spec.categories = {{1, 1, 0, "Business", "Business"}, {2, 6, 0, "Personal", "Personal"}};
    for (std::uint32_t kind = 0; kind <= 6; ++kind) {
        TodoRecordLayout t = Todo(300 + kind, kind % 2 == 0 ? 0x04 : 0x00, "Task with repeat kind " + std::to_string(kind));
        t.priority = kind == 6 ? 9 : kind;
        t.completed = kind == 3 ? 7 : kind % 2;
        t.alarm = kind == 2 ? 1 : 0;
        t.category = kind % 3 == 0 ? 1 : 6;
        t.dueDate = 1237075200 + kind * 86400;
        t.note = kind == 1 ? "Line one\r\nLine two \xE9\xFC\x80" : "";
        t.repeat = MakeRepeat(kind, kind >= 3 ? std::vector<std::uint32_t>{1237075200, 1237680000, 1238284800}
                                              : std::vector<std::uint32_t>{});
        t.extraC = kind;
        t.extraDateA = 1000 + kind;
        t.extraDateB = 2000 + kind;
        t.extraD = 3000 + kind;
        t.extraDateC = 4000 + kind;
        spec.todos.push_back(t);
    }
    TodoRecordLayout& rich = spec.todos[0];
    rich.priv = 1;
    rich.extraA = 0xA1;
    rich.extraB = 0xB2;
    rich.blobs[1] = {65, 2, 11, 12, {1, 2, 3}};
    rich.blobs[2] = {66, 6, 0, 0, {9, 8, 7, 6, 5, 4}};
    rich.extraTextA = "extra A";
    rich.extraTextB = "B";
    return spec;
}

class PmTodoExUtilTest : public TempDirTest {
protected:
    std::string PutTodo(const std::vector<std::uint8_t>& bytes, const std::string& name = "todo.dat") {
        return Put(bytes, name);
    }
};

TEST_F(PmTodoExUtilTest, LoadsEveryFieldOfEveryRecord) {
    PmTodoExUtil codec(PutTodo(BuildExtendedTodoFile(SampleMemoFile())));
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    const auto& recs = codec.GetDataMgr().Records();
    ASSERT_EQ(recs.size(), 7u);
    EXPECT_EQ(recs[0].nRecordId, 300u);
    EXPECT_EQ(recs[0].nExtraA, 0xA1u);
    EXPECT_EQ(recs[0].nPrivate, 1u);
    EXPECT_EQ(recs[0].szCategory, "Business");
    EXPECT_EQ(recs[0].blobs.Field(2).data, (std::vector<std::uint8_t>{9, 8, 7, 6, 5, 4}));
    EXPECT_EQ(recs[1].szNote, "Line one\r\nLine two \xE9\xFC\x80");
    EXPECT_EQ(recs[1].szCategory, "Personal");
    EXPECT_EQ(recs[2].nAlarm, 1u);
    EXPECT_EQ(recs[3].nCompleted, 7u);
    EXPECT_EQ(recs[6].nPriority, 9u);  // the codec does not map priorities
    EXPECT_EQ(recs[4].nDueDate, 1237075200u + 4 * 86400);
    EXPECT_EQ(recs[4].nExtraDateC, 4004u);
    EXPECT_EQ(recs[2].Repeat.nRuleKind, 2u);
    EXPECT_EQ(recs[2].Repeat.nDayMask, 0x2A);
    EXPECT_EQ(recs[5].Repeat.nDayOfMonth, 25u);
    EXPECT_EQ(recs[5].Repeat.nMonth, 12u);
    EXPECT_EQ(recs[5].Repeat.aExceptions.size(), 3u);
    EXPECT_EQ(recs[0].Repeat.nRuleKind, 0u);
}

TEST_F(PmTodoExUtilTest, NormalFormFilesRoundTripByteExact) {
    const auto original = BuildExtendedTodoFile(SampleMemoFile());
    const auto path = PutTodo(original);
    PmTodoExUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    ASSERT_TRUE(codec.Save()) << codec.LastError();
    EXPECT_EQ(ReadFileBytes(path), original);
}

// Real Palm Desktop files hold other tags and attributes than the usual
// ones: a save changes the undeleted record's status word and nothing else.
TEST_F(PmTodoExUtilTest, OddTagsAndAttributesAreWrittenBackAsTheyWere) {
    TodoFileLayout spec = SampleMemoFile();
    spec.signatureLead = {0, 1, 2, 3, 4};
    spec.headerBlock[12] = 0x55;
    spec.headerBlock[13] = 0x66;
    for (TodoRecordLayout& t : spec.todos) {
        t.textAttr = 0;
        t.intTag = 6;
        t.dateTag = 1;
        t.flagTag = 3;
    }
    spec.todos[3].repeat.marker = 0x8002;  // a class reference stays one
    const auto path = PutTodo(BuildExtendedTodoFile(spec));
    PmTodoExUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    codec.SetStatusAt(0, PmUndeletedStatus(codec.StatusAt(0)));
    ASSERT_TRUE(codec.Save()) << codec.LastError();

    const auto original = BuildExtendedTodoFile(spec);
    spec.todos[0].status = PmUndeletedStatus(spec.todos[0].status);
    EXPECT_EQ(ReadFileBytes(path), BuildExtendedTodoFile(spec));
    EXPECT_EQ(ReadFileBytes(platform::AtomicFile::BackupPathOf(path)), original);
}

TEST_F(PmTodoExUtilTest, LongTextsAndUnnamedRepeatKindsAreKeptWhole) {
    TodoFileLayout spec;
    TodoRecordLayout t = Todo(1, 0x04, std::string(300, 'd'));
    t.note = std::string(9000, 'n');
    t.extraTextA = std::string(40, 'a');
    t.extraTextB = std::string(33, 'b');
    t.repeat = MakeRepeat(9, {5, 6});
    t.repeat.className = "CEveryFullMoon";
    spec.todos = {t};
    const auto original = BuildExtendedTodoFile(spec);
    const auto path = PutTodo(original);
    PmTodoExUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    EXPECT_EQ(codec.GetDataMgr().At(0).szDescription.size(), 300u);
    EXPECT_EQ(codec.GetDataMgr().At(0).szNote.size(), 9000u);
    codec.SetStatusAt(0, 0x01);
    ASSERT_TRUE(codec.Save()) << codec.LastError();
    spec.todos[0].status = 0x01;
    EXPECT_EQ(ReadFileBytes(path), BuildExtendedTodoFile(spec));
}

TEST_F(PmTodoExUtilTest, SchemasOfFewerFieldsAndInconsistentSchemas) {
    // 24 fields per record: no repeat field, and saved the same way.
    TodoFileLayout short24 = SampleMemoFile();
    short24.fieldsPerRecord = 24;
    short24.fieldTypes.assign(24, 1);
    const auto bytes24 = BuildExtendedTodoFile(short24);
    const auto path24 = PutTodo(bytes24, "short.dat");
    PmTodoExUtil codec24(path24);
    ASSERT_TRUE(codec24.IsLoaded()) << codec24.LastError();
    EXPECT_EQ(codec24.Count(), 7u);
    ASSERT_TRUE(codec24.Save()) << codec24.LastError();
    EXPECT_EQ(ReadFileBytes(path24), bytes24);

    // Field count and fields per record differ: shown, never rewritten.
    TodoFileLayout mixed = SampleMemoFile();
    mixed.fieldTypes.assign(24, 1);
    const auto original = BuildExtendedTodoFile(mixed);
    const auto mixedPath = PutTodo(original, "mixed.dat");
    PmTodoExUtil codecMixed(mixedPath);
    if (codecMixed.IsLoaded()) {
        EXPECT_FALSE(codecMixed.Save());
        EXPECT_FALSE(codecMixed.LastError().empty());
    }
    EXPECT_EQ(ReadFileBytes(mixedPath), original);

    // No fields per record, or more field types than a task has, fail.
    TodoFileLayout zero = SampleMemoFile();
    zero.fieldsPerRecord = 0;
    zero.overrideEntryCount = true;
    zero.entryCount = 25;
    PmTodoExUtil none(PutTodo(BuildExtendedTodoFile(zero), "zero.dat"));
    EXPECT_FALSE(none.IsLoaded());
    EXPECT_FALSE(none.LastError().empty());
    TodoFileLayout wide = SampleMemoFile();
    wide.fieldTypes.assign(26, 1);
    PmTodoExUtil tooWide(PutTodo(BuildExtendedTodoFile(wide), "wide.dat"));
    EXPECT_FALSE(tooWide.IsLoaded());
}

TEST_F(PmTodoExUtilTest, OtherKindsAndGenerationsAreRefused) {
    TodoFileLayout spec = SampleMemoFile();
    const auto classic = PutTodo(BuildClassicTodoFile(spec), "classic.dat");
    PmTodoExUtil ex(classic);
    EXPECT_FALSE(ex.IsLoaded());
    PmTodoUtil cl(PutTodo(BuildExtendedTodoFile(spec), "extended.dat"));
    EXPECT_FALSE(cl.IsLoaded());
    MemoFileLayout memo;
    memo.memos = {MakeMemo(1, 0, "memo")};
    PmTodoExUtil fromMemo(PutTodo(BuildExtendedMemoFile(memo), "memo.dat"));
    EXPECT_FALSE(fromMemo.IsLoaded());
    EXPECT_NE(fromMemo.LastError().find("another kind"), std::string::npos) << fromMemo.LastError();
}

TEST_F(PmTodoExUtilTest, AFileEndingInsideARecordFailsWithoutOfferingRecords) {
    const auto whole = BuildExtendedTodoFile(SampleMemoFile());
    for (const std::size_t cut : {whole.size() - 1, whole.size() - 9, whole.size() / 2}) {
        PmTodoExUtil codec(PutTodo({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)}, "cut.dat"));
        EXPECT_FALSE(codec.IsLoaded()) << cut;
        EXPECT_EQ(codec.Count(), 0u);
        EXPECT_FALSE(codec.LastError().empty());
    }
}

TEST_F(PmTodoExUtilTest, SaveGoesToTheLoadedFileAndKeepsTheRecordedPath) {
    TodoFileLayout spec = SampleMemoFile();
    const std::string other = dir.File("other.dat");
    spec.recordedName = other;
    WriteFileBytes(other, {'k', 'e', 'e', 'p'});
    const auto path = PutTodo(BuildExtendedTodoFile(spec), "copy.dat");
    PmTodoExUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded());
    codec.SetStatusAt(2, 0x01);
    ASSERT_TRUE(codec.Save()) << codec.LastError();
    EXPECT_EQ(ReadFileBytes(other), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
    PmTodoExUtil again(path);
    ASSERT_TRUE(again.IsLoaded());
    EXPECT_EQ(again.StatusAt(2), 0x01u);
    EXPECT_EQ(again.GetRecordedName(), other);
}

TEST_F(PmTodoExUtilTest, ClassicFilesRoundTripAndKeepLongTexts) {
    TodoFileLayout spec = SampleMemoFile();
    spec.todos[1].description = std::string(300, 'q');
    spec.todos[1].note = std::string(9000, 'r');
    spec.todos[2].description = "Caf\xE9\r\nsecond";
    const auto original = BuildClassicTodoFile(spec);
    const auto path = PutTodo(original, "classic.dat");
    PmTodoUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    ASSERT_EQ(codec.Count(), 7u);
    EXPECT_EQ(codec.GetDataMgr().At(1).szDescription.size(), 300u);
    EXPECT_EQ(codec.GetDataMgr().At(1).szNote.size(), 9000u);
    EXPECT_EQ(codec.GetDataMgr().At(3).nCompleted, 7u);
    EXPECT_EQ(codec.GetDataMgr().At(0).nPrivate, 1u);
    EXPECT_EQ(codec.GetHeaderText(), "Palm To Do List");
    ASSERT_TRUE(codec.Save()) << codec.LastError();
    EXPECT_EQ(ReadFileBytes(path), original);

    codec.SetStatusAt(4, PmUndeletedStatus(codec.StatusAt(4)));
    ASSERT_TRUE(codec.Save()) << codec.LastError();
    spec.todos[4].status = 0x01;
    EXPECT_EQ(ReadFileBytes(path), BuildClassicTodoFile(spec));

    // Real files' other tags and attributes are kept as they are.
    TodoFileLayout odd = SampleMemoFile();
    for (TodoRecordLayout& t : odd.todos) {
        t.textAttr = 0;
        t.dateTag = 1;
        t.flagTag = 1;
    }
    const auto oddPath = PutTodo(BuildClassicTodoFile(odd), "odd.dat");
    PmTodoUtil oddCodec(oddPath);
    ASSERT_TRUE(oddCodec.IsLoaded()) << oddCodec.LastError();
    ASSERT_TRUE(oddCodec.Save());
    EXPECT_EQ(ReadFileBytes(oddPath), BuildClassicTodoFile(odd));

    const auto whole = BuildClassicTodoFile(SampleMemoFile());
    PmTodoUtil cut(PutTodo({whole.begin(), whole.end() - 3}, "cut.dat"));
    EXPECT_FALSE(cut.IsLoaded());
}

}  // namespace
}  // namespace lazrine::palm
