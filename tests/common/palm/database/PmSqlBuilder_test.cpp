#include "common/palm/database/PmSqlBuilder.h"

#include <gtest/gtest.h>

#include "common/palm/database/PmValueHelpers.h"

namespace lazrine::palm {
namespace {

PmVariant Int(std::int32_t n) {
    PmVariant v;
    PmSetInt(n, &v);
    return v;
}
PmVariant Text(const std::string& s) {
    PmVariant v;
    PmSetText(s, &v);
    return v;
}
PmVariant Bool(std::uint8_t b) {
    PmVariant v;
    PmSetBool(b, &v);
    return v;
}

const std::vector<std::string> kMemoColumns{"Record ID", "Status", "Placement", "Private", "Category", "Note"};

TEST(PmSqlBuilderTest, LiteralsOfEachKind) {
    EXPECT_EQ(PmFormatLiteral(Bool(1)), "1");
    EXPECT_EQ(PmFormatLiteral(Bool(0)), "0");
    EXPECT_EQ(PmFormatLiteral(Int(-42)), "-42");
    EXPECT_EQ(PmFormatLiteral(Text("Call Bob")), "'Call Bob'");
    EXPECT_EQ(PmFormatLiteral(Text("")), "''");
    EXPECT_EQ(PmFormatLiteral(PmVariant{}), "");
}

TEST(PmSqlBuilderTest, QuotesInsideTextAreDoubledSoTheyCannotEndTheLiteral) {
    EXPECT_EQ(PmFormatLiteral(Text("Sean O'Brien")), "'Sean O''Brien'");
    EXPECT_EQ(PmFormatLiteral(Text("x' OR '1'='1")), "'x'' OR ''1''=''1'");
    EXPECT_EQ(PmFormatLiteral(Text("'")), "''''");
}

TEST(PmSqlBuilderTest, LongTextsAreNeverCut) {
    const std::string note(9000, 'a');
    const std::vector<std::string> names{"Record ID", "Note"};
    const std::vector<PmVariant> values{Int(1022), Text(note)};
    const std::string where = PmBuildWhere(names, values);
    EXPECT_EQ(where, "WHERE [Record ID] = 1022 AND [Note] = '" + note + "'");
    const std::vector<std::string> set{"Status"};
    const std::vector<PmVariant> one{Int(1)};
    EXPECT_EQ(BuildSql("Main", where, PM_SQL_UPDATE, set, one), "UPDATE Main SET [Status]=1 " + where);
}

TEST(PmSqlBuilderTest, WhereClause) {
    const std::vector<std::string> names{"Record ID", "Note"};
    const std::vector<PmVariant> values{Int(12), Text("Call Bob")};
    EXPECT_EQ(PmBuildWhere(names, values), "WHERE [Record ID] = 12 AND [Note] = 'Call Bob'");
    EXPECT_EQ(PmBuildWhere({}, {}), "");
    const std::vector<PmVariant> tooFew{Int(12)};
    EXPECT_EQ(PmBuildWhere(names, tooFew), "");
}

TEST(PmSqlBuilderTest, StatementsOfEachKind) {
    EXPECT_EQ(BuildSql("Main", "", PM_SQL_SELECT, kMemoColumns, {}),
              "SELECT [Record ID], [Status], [Placement], [Private], [Category], [Note] FROM Main ");
    const std::vector<std::string> cat{"ID", "Name"};
    EXPECT_EQ(BuildSql("Category", "WHERE [ID] = 3", PM_SQL_SELECT, cat, {}),
              "SELECT [ID], [Name] FROM Category WHERE [ID] = 3");
    const std::vector<PmVariant> row{Int(12), Int(1), Int(0), Int(0), Text("3"), Text("Call Bob")};
    EXPECT_EQ(BuildSql("Main", "", PM_SQL_INSERT, kMemoColumns, row),
              "INSERT INTO Main ([Record ID], [Status], [Placement], [Private], [Category], [Note], [Blob]) "
              "VALUES (12, 1, 0, 0, '3', 'Call Bob', 0x00000000)");
    const std::vector<std::string> status{"Status"};
    const std::vector<PmVariant> one{Int(1)};
    EXPECT_EQ(BuildSql("Main", "WHERE [Record ID] = 12 AND [Note] = 'Call Bob'", PM_SQL_UPDATE, status, one),
              "UPDATE Main SET [Status]=1 WHERE [Record ID] = 12 AND [Note] = 'Call Bob'");
    EXPECT_EQ(BuildSql("Main", "WHERE [Record ID] = 1", PM_SQL_DELETE, status, {}),
              "DELETE FROM Main WHERE [Record ID] = 1");
}

TEST(PmSqlBuilderTest, NothingIsBuiltWithoutColumnsOrForAnUnknownKind) {
    for (const PmSqlKind kind : {PM_SQL_SELECT, PM_SQL_INSERT, PM_SQL_DELETE, PM_SQL_UPDATE}) {
        EXPECT_EQ(BuildSql("Main", "WHERE [ID] = 1", kind, {}, {}), "");
    }
    EXPECT_EQ(BuildSql("Main", "", static_cast<PmSqlKind>(9), kMemoColumns, {}), "");
    const std::vector<PmVariant> tooFew{Int(1)};
    EXPECT_EQ(BuildSql("Main", "", PM_SQL_UPDATE, kMemoColumns, tooFew), "");
}

TEST(PmSqlBuilderTest, AddressRowsGetThreeMoreBinaryColumns) {
    std::vector<std::string> names;
    std::vector<PmVariant> values;
    for (int i = 0; i < 30; ++i) {
        names.push_back("C" + std::to_string(i));
        values.push_back(Int(i));
    }
    const std::string thirty = BuildSql("Main", "", PM_SQL_INSERT, names, values);
    EXPECT_NE(thirty.find("[C29], [Blob]) VALUES ("), std::string::npos);
    EXPECT_NE(thirty.find(", 29, 0x00000000)"), std::string::npos);
    EXPECT_EQ(thirty.find("Photo"), std::string::npos);
    names.push_back("C30");
    values.push_back(Int(30));
    const std::string more = BuildSql("Main", "", PM_SQL_INSERT, names, values);
    EXPECT_NE(more.find("[C30], [Photo], [VoiceTag], [Ringtone], [Blob]) VALUES ("), std::string::npos);
    EXPECT_NE(more.find(", 30, 0x00000000, 0x00000000, 0x00000000, 0x00000000)"), std::string::npos);
}

}  // namespace
}  // namespace lazrine::palm
