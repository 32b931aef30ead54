#include "common/palm/PmTime.h"

#include <gtest/gtest.h>

#include <chrono>

#include "platform/LocalClock.h"
#include "support/SystemSupport.h"

namespace lazrine::palm {
namespace {

using Fields = misc::CxDateTime::Fields;

class PmTimeTest : public ::testing::Test {
protected:
    void TearDown() override { platform::LocalClock::UseTimeZone(""); }
};

Fields At(int year, int month, int day, int hour, int minute, int second) {
    Fields f;
    f.wYear = static_cast<std::uint16_t>(year);
    f.wMonth = static_cast<std::uint16_t>(month);
    f.wDay = static_cast<std::uint16_t>(day);
    f.wHour = static_cast<std::uint16_t>(hour);
    f.wMinute = static_cast<std::uint16_t>(minute);
    f.wSecond = static_cast<std::uint16_t>(second);
    return f;
}

TEST_F(PmTimeTest, ConvertsStoredValuesToLocalCalendarTime) {
    struct Case {
        const char* zone;
        std::uint32_t value;
        Fields want;
    };
    const Case cases[] = {
        {"UTC", 86400, At(1970, 1, 2, 0, 0, 0)},
        {"America/New_York", 86400, At(1970, 1, 1, 19, 0, 0)},
        {"UTC", 1241515800, At(2009, 5, 5, 9, 30, 0)},
        {"Europe/Zurich", 1241515800, At(2009, 5, 5, 11, 30, 0)},  // daylight saving
        {"UTC", 0x80000000u, At(2038, 1, 19, 3, 14, 8)},           // past the signed range
        {"UTC", 0xFFFFFFFEu, At(2106, 2, 7, 6, 28, 14)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.value));
        if (!lazrine::testing::kHasZoneDatabase && std::string(c.zone) != "UTC") {
            continue;
        }
        platform::LocalClock::UseTimeZone(c.zone);
        PmTime time(c.value);
        Fields got = At(1, 1, 1, 1, 1, 1);
        got.wDayOfWeek = 5;
        ASSERT_TRUE(time.ToSystemTime(&got));
        EXPECT_EQ(got, c.want);
    }
}

TEST_F(PmTimeTest, NoTimeMarkAndMissingFieldsFail) {
    PmTime time(PmTime::kNoTime);
    Fields kept = At(2000, 1, 1, 0, 0, 0);
    EXPECT_FALSE(time.ToSystemTime(&kept));
    EXPECT_EQ(kept, At(2000, 1, 1, 0, 0, 0));
    time.SetTime(5);
    EXPECT_EQ(time.GetTime(), 5u);
    EXPECT_FALSE(time.ToSystemTime(nullptr));
}

TEST_F(PmTimeTest, ZeroTakesTheCurrentTime) {
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    const PmTime time(0);
    EXPECT_LE(static_cast<std::int64_t>(time.GetTime()) - now, 2);
    EXPECT_GE(static_cast<std::int64_t>(time.GetTime()) - now, 0);
}

}  // namespace
}  // namespace lazrine::palm
