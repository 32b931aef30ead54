#include "common/palm/database/PmSqlStatement.h"

#include <gtest/gtest.h>

#include <random>

#include "common/palm/database/PmValueHelpers.h"

namespace lazrine::palm {
namespace {

PmSqlStatement ParseOk(const std::string& sql) {
    PmSqlStatement st;
    std::string error;
    EXPECT_TRUE(PmSqlStatement::Parse(sql, st, error)) << sql << ": " << error;
    return st;
}

TEST(PmSqlStatementTest, ReadsWhatTheBuildersMake) {
    const std::vector<std::string> cols{"Record ID", "Status", "Note"};
    const PmSqlStatement select = ParseOk(BuildSql("Main", "", PM_SQL_SELECT, cols, {}));
    EXPECT_EQ(select.Kind(), PM_SQL_SELECT);
    EXPECT_EQ(select.Table(), "Main");
    EXPECT_EQ(select.Columns(), cols);
    EXPECT_TRUE(select.Where().empty());

    PmValues key(2);
    PmSetInt(-7, &key[0]);
    PmSetText("Dinner with Sean O'Brien at 7", &key[1]);
    const std::vector<std::string> keyNames{"Record ID", "Note"};
    PmValues set(2);
    PmSetInt(1, &set[0]);
    PmSetBool(1, &set[1]);
    const std::vector<std::string> setNames{"Status", "Private"};
    const PmSqlStatement update =
        ParseOk(BuildSql("Main", PmBuildWhere(keyNames, key), PM_SQL_UPDATE, setNames, set));
    EXPECT_EQ(update.Kind(), PM_SQL_UPDATE);
    ASSERT_EQ(update.Assignments().size(), 2u);
    EXPECT_EQ(update.Assignments()[1].szColumn, "Private");
    EXPECT_EQ(update.Assignments()[1].literal.nValue, 1);
    ASSERT_EQ(update.Where().size(), 2u);
    EXPECT_EQ(update.Where()[0].literal.nValue, -7);
    EXPECT_EQ(update.Where()[1].literal.nKind, PmSqlLiteral::kText);
    EXPECT_EQ(update.Where()[1].literal.szText, "Dinner with Sean O'Brien at 7");
}

TEST(PmSqlStatementTest, AnInjectedConditionStaysInsideItsText) {
    PmValues key(1);
    PmSetText("x' OR '1'='1", &key[0]);
    const std::vector<std::string> names{"Note"};
    const PmSqlStatement st = ParseOk("SELECT [Note] FROM Main " + PmBuildWhere(names, key));
    ASSERT_EQ(st.Where().size(), 1u);
    EXPECT_EQ(st.Where()[0].literal.szText, "x' OR '1'='1");
}

TEST(PmSqlStatementTest, InsertAndDeleteAreRecognised) {
    const PmSqlStatement ins =
        ParseOk("INSERT INTO Main ([Record ID], [Note], [Blob]) VALUES (12, 'Call Bob', 0x00000000)");
    EXPECT_EQ(ins.Kind(), PM_SQL_INSERT);
    ASSERT_EQ(ins.Values().size(), 3u);
    EXPECT_EQ(ins.Values()[2].nKind, PmSqlLiteral::kBinary);
    EXPECT_EQ(ParseOk("delete from Main where [Record ID] = 3").Kind(), PM_SQL_DELETE);
}

TEST(PmSqlStatementTest, MalformedStatementsAreRefusedWithAReason) {
    for (const std::string bad : {"", "SELECT", "SELECT FROM Main", "SELECT [A] Main", "SELECT [A] FROM",
                                  "SELECT [A] FROM Main WHERE", "SELECT [A] FROM Main WHERE [A] = 'open",
                                  "SELECT [A] FROM Main WHERE [A] 1", "SELECT [A] FROM Main WHERE [A] = 1 OR [B] = 2",
                                  "SELECT [A FROM Main", "SELECT [] FROM Main", "UPDATE Main SET [A]=", "UPDATE Main [A]=1",
                                  "UPDATE Main SET [A]=1 WHERE [B] = 99999999999", "UPDATE Main SET [A]=1x",
                                  "INSERT INTO Main ([A], [B]) VALUES (1)", "INSERT INTO Main ([A]) VALUES (0x1)",
                                  "DROP TABLE Main", "SELECT [A] FROM Main; DROP TABLE Main"}) {
        PmSqlStatement st;
        std::string error;
        EXPECT_FALSE(PmSqlStatement::Parse(bad, st, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(PmSqlStatementTest, SurvivesArbitraryAndCutText) {
    const std::string valid =
        "UPDATE Main SET [Status]=1, [Private]=0 WHERE [Record ID] = 1010 AND [Note] = 'O''Brien ''x'' OR ''1''=''1'";
    PmSqlStatement st;
    std::string error;
    EXPECT_TRUE(PmSqlStatement::Parse(valid, st, error)) << error;
    for (std::size_t n = 0; n < valid.size(); ++n) {
        // Some cuts end on a whole term and are valid; the others fail cleanly.
        if (!PmSqlStatement::Parse(valid.substr(0, n), st, error)) {
            EXPECT_FALSE(error.empty()) << n;
        }
    }
    EXPECT_FALSE(PmSqlStatement::Parse(valid.substr(0, valid.size() - 1), st, error));
    std::mt19937 rng(5);
    const std::string alphabet = "[]'=,() 0123456789-xABSELCTUPDAWHRNFOMIVabc\x00\xff";
    for (int i = 0; i < 20000; ++i) {
        std::string text(rng() % 80, ' ');
        for (char& c : text) {
            c = (i % 2 == 0) ? static_cast<char>(rng() & 0xFF) : alphabet[rng() % alphabet.size()];
        }
        if (i % 3 == 0) {
            text = valid.substr(0, rng() % valid.size()) + text;
        }
        PmSqlStatement::Parse(text, st, error);
    }
}

}  // namespace
}  // namespace lazrine::palm
