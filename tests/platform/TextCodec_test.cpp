#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace lazrine::platform {
namespace {

TEST(TextCodec, Cp1252AndUtf8RoundTripEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    std::string back;
    ASSERT_TRUE(TextCodec::Utf8ToCp1252(TextCodec::Cp1252ToUtf8(all), back));
    EXPECT_EQ(back, all);
    // The bytes the code page leaves undefined become their C1 controls.
    EXPECT_EQ(TextCodec::Cp1252ToUtf8("\x80\x81\x8D\x8F\x90\x9D"),
              "\xE2\x82\xAC\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
}

TEST(TextCodec, Utf8ToCp1252RefusesWhatTheCodePageCannotHold) {
    std::string out = "stale";
    EXPECT_FALSE(TextCodec::Utf8ToCp1252("\xE6\xBC\xA2", out));  // a CJK character
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(TextCodec::Utf8ToCp1252("\xC0\xAF", out));      // overlong '/'
    EXPECT_FALSE(TextCodec::Utf8ToCp1252("\xED\xA0\x80", out));  // a surrogate
    EXPECT_FALSE(TextCodec::Utf8ToCp1252("caf\xC3", out));       // cut short
    ASSERT_TRUE(TextCodec::Utf8ToCp1252("caf\xC3\xA9 \xE2\x82\xAC", out));
    EXPECT_EQ(out, "caf\xE9 \x80");
}

TEST(TextCodec, CodePoints) {
    char c = 0;
    ASSERT_TRUE(TextCodec::CodePointToCp1252(0x20AC, c));
    EXPECT_EQ(static_cast<unsigned char>(c), 0x80);
    ASSERT_TRUE(TextCodec::CodePointToCp1252(0xE9, c));
    EXPECT_EQ(static_cast<unsigned char>(c), 0xE9);
    ASSERT_TRUE(TextCodec::CodePointToCp1252(0x81, c));
    EXPECT_EQ(static_cast<unsigned char>(c), 0x81);
    EXPECT_FALSE(TextCodec::CodePointToCp1252(0xD800, c));
    EXPECT_FALSE(TextCodec::CodePointToCp1252(0x110000, c));
    EXPECT_FALSE(TextCodec::CodePointToCp1252(0x6F22, c));
}

}  // namespace
}  // namespace lazrine::platform
