#include "common/palm/database/PmJetText.h"

#include <gtest/gtest.h>

#include <vector>

namespace lazrine::palm {
namespace {

std::string Decode(std::vector<std::uint8_t> bytes) { return PmJetText::ToUtf8(bytes); }

TEST(PmJetTextTest, PlainUtf16) {
    EXPECT_EQ(Decode({'H', 0, 'i', 0}), "Hi");
    EXPECT_EQ(Decode({0xE9, 0x00, 0xAC, 0x20, 0x22, 0x6F}), "é€漢");
    EXPECT_EQ(Decode({0x3D, 0xD8, 0x00, 0xDE}), "\xF0\x9F\x98\x80");  // a surrogate pair
    EXPECT_EQ(Decode({}), "");
}

TEST(PmJetTextTest, CompressedTextSwitchesAtZeroBytes) {
    // "Ab" one byte each, then "€" two bytes, then "c" one byte again.
    EXPECT_EQ(Decode({0xFF, 0xFE, 'A', 'b', 0x00, 0xAC, 0x20, 0x00, 'c'}), "Ab€c");
    EXPECT_EQ(Decode({0xFF, 0xFE, 'C', 'a', 'f', 0xE9}), "Café");
    EXPECT_EQ(Decode({0xFF, 0xFE, 'o', 'k', '\r', '\n'}), "ok\r\n");
    EXPECT_EQ(Decode({0xFF, 0xFE}), "");
}

TEST(PmJetTextTest, BrokenInputBecomesReplacementCharacters) {
    EXPECT_EQ(Decode({'A', 0, 'B'}), "A\xEF\xBF\xBD");
    EXPECT_EQ(Decode({0x00, 0xD8, 'A', 0}), "\xEF\xBF\xBD" "A");
    EXPECT_EQ(Decode({0xFF, 0xFE, 0x00, 0xAC}), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace lazrine::palm
