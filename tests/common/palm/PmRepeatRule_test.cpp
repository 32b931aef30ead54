#include "common/palm/PmRepeatRule.h"

#include <gtest/gtest.h>

#include "common/palm/PmDBUtil.h"
#include "support/PalmFileBuilder.h"

namespace lazrine::palm {
namespace {

using lazrine::testing::MakeRepeat;
using lazrine::testing::PalmFileBuilder;
using lazrine::testing::RepeatLayout;

class Codec : public PmDBUtil {
public:
    explicit Codec(const std::vector<std::uint8_t>& bytes) { OpenBytes(bytes); }
};

std::vector<std::uint8_t> Bytes(const RepeatLayout& spec) { return PalmFileBuilder().RepeatField(spec).Bytes(); }

// Reads one field, checks it consumed exactly its bytes and writes it back.
std::vector<std::uint8_t> RoundTrip(const std::vector<std::uint8_t>& in, PmRepeatRule& rule) {
    Codec c(in);
    EXPECT_TRUE(c.ReadRepeatField(rule)) << c.LastError();
    EXPECT_EQ(c.Remaining(), 0u);
    c.BeginWrite();
    EXPECT_TRUE(c.WriteRepeatField(rule)) << c.LastError();
    return c.Written();
}

TEST(PmRepeatField, EveryKindWithExceptionsIsReadAndWrittenBackExactly) {
    struct Case {
        std::uint32_t kind;
        std::size_t valueBytes;
    };
    const Case cases[] = {{0, 0}, {1, 4}, {2, 5}, {3, 8}, {4, 4}, {5, 8}, {6, 0}};
    for (const Case& c : cases) {
        for (const auto& exceptions : {std::vector<std::uint32_t>{}, std::vector<std::uint32_t>{100, 200, 300}}) {
            const auto in = Bytes(MakeRepeat(c.kind, exceptions));
            PmRepeatRule rule;
            EXPECT_EQ(RoundTrip(in, rule), in) << "kind " << c.kind;
            // A repeat field where a record type describes none travels whole.
            auto withTail = in;
            withTail.push_back(0x5A);
            EXPECT_EQ(PmDBUtil::RawFieldSize(withTail), in.size());
            EXPECT_EQ(PmDBUtil::RawFieldSize({in.data(), in.size() - 1}), 0u);
            EXPECT_EQ(rule.nRuleKind, c.kind);
            EXPECT_EQ(rule.aExceptions, exceptions);
            if (c.kind != 0) {
                EXPECT_EQ(in.size(), 6 + 4 * exceptions.size() + 6 + std::string(PmRepeatRule::ClassNameOf(c.kind)).size() +
                                         16 + c.valueBytes);
            }
        }
    }
}

TEST(PmRepeatField, ValuesLandInTheMembersOfTheirKind) {
    struct Case {
        std::uint32_t kind;
        PmRepeatRule expected;
    };
    auto rule = [](auto fill) {
        PmRepeatRule r;
        r.nInterval = 2;
        r.nEndDate = 1300000000;
        r.nExtra = 7;
        r.nClassMarker = 0xFFFF;
        fill(r);
        return r;
    };
    const Case cases[] = {
        {1, rule([](PmRepeatRule& r) { r.nRuleKind = 1, r.nDayIndex = 3, r.szClassName = "CDayName"; })},
        {2, rule([](PmRepeatRule& r) { r.nRuleKind = 2, r.nDayIndex = 1, r.nDayMask = 0x2A, r.szClassName = "CWeekly"; })},
        {3, rule([](PmRepeatRule& r) { r.nRuleKind = 3, r.nDayIndex = 2, r.nWeekIndex = 4, r.szClassName = "CDayOfMonth"; })},
        {4, rule([](PmRepeatRule& r) { r.nRuleKind = 4, r.nDayOfMonth = 15, r.szClassName = "CDateOfMonth"; })},
        {5, rule([](PmRepeatRule& r) { r.nRuleKind = 5, r.nDayOfMonth = 25, r.nMonth = 12, r.szClassName = "CDateOfYear"; })},
        {6, rule([](PmRepeatRule& r) { r.nRuleKind = 6, r.szClassName = "CDayOfYear"; })},
    };
    for (const Case& c : cases) {
        Codec codec(Bytes(MakeRepeat(c.kind)));
        PmRepeatRule got;
        ASSERT_TRUE(codec.ReadRepeatField(got));
        EXPECT_EQ(got, c.expected) << "kind " << c.kind;
    }
}

TEST(PmRepeatField, TheWeeklyRuleTakesFortyBytes) {
    PmRepeatRule rule;
    rule.nRuleKind = 2;
    rule.nInterval = 1;
    rule.nDayMask = 0x3E;
    Codec c({});
    c.BeginWrite();
    ASSERT_TRUE(c.WriteRepeatField(rule));
    EXPECT_EQ(c.Written().size(), 40u);
}

TEST(PmRepeatField, ClassReferencesAndUnnamedKindsAreKeptAsRead) {
    // A class reference: the header follows the marker at once.
    RepeatLayout reference = MakeRepeat(4, {5});
    reference.marker = 0x8001;
    // A kind the format does not name, declared under its own class.
    RepeatLayout unnamed = MakeRepeat(9);
    unnamed.className = "CEveryOtherFullMoon";
    // A declared class whose name does not match the kind.
    RepeatLayout mismatch = MakeRepeat(5);
    mismatch.className = "CWeekly";
    // A reference to a kind the format does not name.
    RepeatLayout unnamedReference = MakeRepeat(12);
    unnamedReference.marker = 0x8003;
    for (const RepeatLayout& spec : {reference, unnamed, mismatch, unnamedReference}) {
        const auto in = Bytes(spec);
        PmRepeatRule rule;
        EXPECT_EQ(RoundTrip(in, rule), in) << spec.className << " " << spec.marker;
        EXPECT_EQ(rule.nRuleKind, spec.kind);
    }
}

TEST(PmRepeatField, ARuleMadeInMemoryOfAnUnnamedKindIsRefused) {
    PmRepeatRule rule;
    rule.nRuleKind = 7;
    Codec c({});
    c.BeginWrite();
    EXPECT_FALSE(c.WriteRepeatField(rule));
    EXPECT_NE(c.LastError().find("kind 7"), std::string::npos) << c.LastError();
}

TEST(PmRepeatField, DamagedFieldsFailWithAReason) {
    RepeatLayout wrongSchema = MakeRepeat(1);
    wrongSchema.schema = 2;
    RepeatLayout emptyName = MakeRepeat(1);
    emptyName.className.clear();
    std::vector<std::vector<std::uint8_t>> inputs{
        PalmFileBuilder().U32(1).U16(0).U16(0).Bytes(),  // tag 1, not 8
        Bytes(wrongSchema),
        Bytes(emptyName),
        PalmFileBuilder().U32(8).U16(0xFFFF).U32(1).Bytes(),  // 65,535 exception dates promised
        PalmFileBuilder().U32(8).U16(0).U16(0xFFFF).U16(1).U16(200).Raw("CDay").Bytes(),
    };
    // Every field cut short anywhere fails too.
    const auto whole = Bytes(MakeRepeat(5, {1, 2}));
    for (std::size_t n = 0; n < whole.size(); ++n) {
        inputs.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    }
    for (const auto& in : inputs) {
        Codec c(in);
        PmRepeatRule rule;
        EXPECT_FALSE(c.ReadRepeatField(rule)) << in.size();
        EXPECT_FALSE(c.LastError().empty());
    }
}

}  // namespace
}  // namespace lazrine::palm
