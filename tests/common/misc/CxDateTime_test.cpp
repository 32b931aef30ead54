#include "common/misc/CxDateTime.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "common/misc/WinUtil.h"
#include "platform/LocalClock.h"
#include "support/SystemSupport.h"

namespace lazrine::misc {
namespace {

// Local time is the system's; each test names the zone it expects.
class CxDateTimeTest : public ::testing::Test {
protected:
    void TearDown() override { platform::LocalClock::UseTimeZone(""); }
};

TEST_F(CxDateTimeTest, UnixSecondsBecomeLocalFieldsAndTexts) {
    platform::LocalClock::UseTimeZone("UTC");
    struct Case {
        std::int64_t seconds;
        const char* date;
        const char* time;
        std::uint16_t dayOfWeek;
    };
    const Case cases[] = {
        {0, "01/01/1970", "00:00:00", 4},
        {1237075200, "03/15/2009", "00:00:00", 0},
        {1609459199, "12/31/2020", "23:59:59", 4},
        {1609459200, "01/01/2021", "00:00:00", 5},
        // Values above 2^31 are dates after January 2038, not before 1970.
        {2147483648LL, "01/19/2038", "03:14:08", 2},
        {4294967295LL, "02/07/2106", "06:28:15", 0},
    };
    for (const Case& c : cases) {
        CxDateTime t;
        ASSERT_TRUE(t.SetUnixTime(c.seconds)) << c.seconds;
        EXPECT_EQ(t.FormatDate(), c.date) << c.seconds;
        EXPECT_EQ(t.FormatTime(), c.time) << c.seconds;
        EXPECT_EQ(t.FormatDateTime(), std::string(c.date) + " " + c.time);
        EXPECT_EQ(t.GetTimeFields().wDayOfWeek, c.dayOfWeek) << c.seconds;
        EXPECT_EQ(t.GetTimeFields().wMilliseconds, 0);
    }
}

TEST_F(CxDateTimeTest, LocalTimeFollowsTheZoneAndDaylightSaving) {
    LAZRINE_SKIP_ON_WINDOWS("no zone database");
    platform::LocalClock::UseTimeZone("America/New_York");
    CxDateTime winter;
    ASSERT_TRUE(winter.SetUnixTime(1237075200 - 86400 * 60));  // 14 Jan 2009 00:00 UTC
    EXPECT_EQ(winter.FormatDateTime(), "01/13/2009 19:00:00");
    CxDateTime summer;
    ASSERT_TRUE(summer.SetUnixTime(1247616000));  // 15 Jul 2009 00:00 UTC
    EXPECT_EQ(summer.FormatDateTime(), "07/14/2009 20:00:00");
}

TEST_F(CxDateTimeTest, OleDateAndFieldsStaySynchronised) {
    platform::LocalClock::UseTimeZone("UTC");
    CxDateTime t;
    ASSERT_TRUE(t.SetUnixTime(1237123456));  // 2009-03-15 13:24:16
    EXPECT_NEAR(t.GetVariantTime(), 39887.0 + (13 * 3600 + 24 * 60 + 16) / 86400.0, 1e-9);

    CxDateTime back;
    ASSERT_TRUE(back.SetVariantTime(t.GetVariantTime()));
    EXPECT_EQ(back.GetTimeFields(), t.GetTimeFields());

    // Before 1899-12-30 the fraction still counts forward from midnight.
    ASSERT_TRUE(back.SetVariantTime(-1.25));
    EXPECT_EQ(back.FormatDateTime(), "12/29/1899 06:00:00");
    CxDateTime fromFields;
    fromFields.SetSystemTime(back.GetTimeFields());
    EXPECT_DOUBLE_EQ(fromFields.GetVariantTime(), -1.25);
}

TEST_F(CxDateTimeTest, OutOfRangeValuesChangeNothing) {
    CxDateTime t;
    ASSERT_TRUE(t.SetVariantTime(2.5));
    const CxDateTime::Fields before = t.GetTimeFields();
    EXPECT_FALSE(t.SetVariantTime(2958466.0));
    EXPECT_FALSE(t.SetVariantTime(-657435.0));
    EXPECT_FALSE(t.SetVariantTime(0.0 / 0.0 + 1e308 * 10));
    EXPECT_EQ(t.GetTimeFields(), before);
    EXPECT_EQ(t.GetVariantTime(), 2.5);
}

TEST_F(CxDateTimeTest, ZeroFieldsAreShownAsTheyAre) {
    CxDateTime t;
    t.SetSystemTime(CxDateTime::Fields{});
    EXPECT_EQ(t.FormatDateTime(), "00/00/0000 00:00:00");
    EXPECT_EQ(t.GetVariantTime(), 0.0);
}

TEST_F(CxDateTimeTest, ConstructionTakesTheCurrentLocalTime) {
    CxDateTime now;
    EXPECT_GE(now.GetTimeFields().wYear, 2024);
    EXPECT_GT(now.GetVariantTime(), 45000.0);
}

TEST(WinUtilVariantTime, UsesTheSameConversion) {
    EXPECT_EQ(WinUtil::VariantTimeToText(39887.5), "03-15-2009 12:00:00");
    EXPECT_EQ(WinUtil::VariantTimeToText(0.99999999), "12-31-1899 00:00:00");
    EXPECT_EQ(WinUtil::VariantTimeToText(3e6), "");
}

}  // namespace
}  // namespace lazrine::misc
