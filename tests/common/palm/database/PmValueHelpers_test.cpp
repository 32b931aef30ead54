#include "common/palm/database/PmValueHelpers.h"

#include <gtest/gtest.h>

namespace lazrine::palm {
namespace {

PmVariant Text(const std::string& s) {
    PmVariant v;
    PmSetText(s, &v);
    return v;
}

TEST(PmValueHelpersTest, IntegersFromNumbersAndTexts) {
    std::int32_t n = 99;
    PmVariant v;
    ASSERT_TRUE(PmSetInt(-5, &v));
    EXPECT_TRUE(PmGetInt(&v, n));
    EXPECT_EQ(n, -5);
    const PmVariant digitsThenLetters = Text("12ab");
    EXPECT_TRUE(PmGetInt(&digitsThenLetters, n));
    EXPECT_EQ(n, 12);
    const PmVariant letters = Text("abc");
    EXPECT_TRUE(PmGetInt(&letters, n));
    EXPECT_EQ(n, 0);
    const PmVariant signedText = Text("  -7 ");
    EXPECT_TRUE(PmGetInt(&signedText, n));
    EXPECT_EQ(n, -7);
    const PmVariant huge = Text("99999999999999999999");
    EXPECT_TRUE(PmGetInt(&huge, n));
    EXPECT_EQ(n, 2147483647);
}

TEST(PmValueHelpersTest, OtherKindsLeaveTheOutputUnchanged) {
    std::int32_t n = 99;
    std::uint8_t flag = 7;
    std::string text = "kept";
    const PmVariant nullText = Text("");
    EXPECT_FALSE(PmGetInt(&nullText, n));
    EXPECT_FALSE(PmGetInt(nullptr, n));
    PmVariant b;
    PmSetBool(1, &b);
    EXPECT_FALSE(PmGetInt(&b, n));
    EXPECT_EQ(n, 99);
    PmVariant i;
    PmSetInt(1, &i);
    EXPECT_FALSE(PmGetBool(&i, flag));
    EXPECT_EQ(flag, 7);
    EXPECT_FALSE(PmGetText(&i, text));
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(PmSetInt(1, nullptr));
}

TEST(PmValueHelpersTest, FlagsAndTexts) {
    PmVariant b;
    PmSetBool(0x20, &b);
    EXPECT_EQ(b.boolVal, 0x20);
    std::uint8_t flag = 0;
    EXPECT_TRUE(PmGetBool(&b, flag));
    EXPECT_EQ(flag, 1);
    const PmVariant empty = Text("");
    EXPECT_EQ(empty.vt, VT_BSTR);
    EXPECT_TRUE(empty.bBstrNull);
    std::string text = "x";
    EXPECT_TRUE(PmGetText(&empty, text));
    EXPECT_EQ(text, "");
    const PmVariant unicode = Text("Café 漢");
    EXPECT_TRUE(PmGetText(&unicode, text));
    EXPECT_EQ(text, "Café 漢");
    PmVariant asText;
    PmSetIntAsText(-12, &asText);
    EXPECT_EQ(asText.bstrVal, "-12");
}

}  // namespace
}  // namespace lazrine::palm
