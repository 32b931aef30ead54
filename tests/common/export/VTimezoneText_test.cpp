// Zones written from Windows's yearly rules, read back by libical: the
// offsets it finds on each side of every change are the ones Windows
// applies, in both hemispheres, for "last" and "nth" weekdays, and for a
// zone without daylight saving.
#include "common/export/VTimezoneText.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include "common/export/ExportStreamSink.h"
#include "common/export/ICalWriter.h"
#include "common/palm/PmRepeatRule.h"
#include "platform/WindowsZoneNames.h"
#include "support/SystemSupport.h"

namespace lazrine::exporting {
namespace {

using Rules = platform::LocalClock::ZoneRules;
using Change = Rules::Change;

Rules MakeRules(const char* name, int bias, Change toStandard, Change toDaylight) {
    Rules r;
    r.name = name;
    r.bias = bias;
    r.daylightBias = toStandard.month == 0 ? 0 : -60;
    r.toStandard = toStandard;
    r.toDaylight = toDaylight;
    return r;
}

const Rules kBerlin = MakeRules("W. Europe Standard Time", -60, {10, 5, 0, 3, 0, 0}, {3, 5, 0, 2, 0, 0});
const Rules kPacific = MakeRules("Pacific Standard Time", 480, {11, 1, 0, 2, 0, 0}, {3, 2, 0, 2, 0, 0});
const Rules kSydney = MakeRules("AUS Eastern Standard Time", -600, {4, 1, 0, 3, 0, 0}, {10, 1, 0, 2, 0, 0});
const Rules kIndia = MakeRules("India Standard Time", -330, {}, {});

struct FreeZone {
    void operator()(icaltimezone* z) const { icaltimezone_free(z, 1); }
};

std::unique_ptr<icaltimezone, FreeZone> ZoneFrom(const std::string& text) {
    icalcomponent* c = icalparser_parse_string(text.c_str());
    if (c == nullptr) {
        return nullptr;
    }
    std::unique_ptr<icaltimezone, FreeZone> zone(icaltimezone_new());
    if (icaltimezone_set_component(zone.get(), c) == 0) {
        icalcomponent_free(c);
        return nullptr;
    }
    return zone;
}

TEST(VTimezoneText, LibicalFindsWindowsOffsetsOnEachSideOfEveryChange) {
    const struct {
        const Rules* rules;
        int year, month, day, hour, minute;
        int east;  // seconds east of UTC
    } cases[] = {
        {&kBerlin, 2024, 1, 15, 12, 0, 3600},
        {&kBerlin, 2024, 3, 30, 12, 0, 3600},
        {&kBerlin, 2024, 3, 31, 3, 30, 7200},  // last Sunday of March, after 02:00
        {&kBerlin, 2024, 7, 1, 12, 0, 7200},
        {&kBerlin, 2024, 10, 26, 12, 0, 7200},
        {&kBerlin, 2024, 10, 27, 12, 0, 3600},  // last Sunday of October
        {&kBerlin, 2031, 3, 30, 12, 0, 7200},   // the last Sunday is the 30th that year
        {&kBerlin, 1998, 3, 28, 12, 0, 3600},
        {&kPacific, 2024, 3, 9, 12, 0, -28800},
        {&kPacific, 2024, 3, 10, 12, 0, -25200},  // second Sunday of March
        {&kPacific, 2024, 11, 2, 12, 0, -25200},
        {&kPacific, 2024, 11, 3, 12, 0, -28800},  // first Sunday of November
        {&kSydney, 2024, 1, 15, 12, 0, 39600},
        {&kSydney, 2024, 4, 7, 12, 0, 36000},  // first Sunday of April
        {&kSydney, 2024, 7, 1, 12, 0, 36000},
        {&kSydney, 2024, 10, 6, 12, 0, 39600},  // first Sunday of October
        {&kIndia, 2024, 1, 15, 12, 0, 19800},
        {&kIndia, 2024, 7, 1, 12, 0, 19800},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rules->name + " " + std::to_string(c.year) + "-" + std::to_string(c.month) + "-" +
                     std::to_string(c.day));
        const std::string text = VTimezoneText::Build(*c.rules, "Zone/Under_Test");
        const auto zone = ZoneFrom(text);
        ASSERT_NE(zone, nullptr) << text;
        EXPECT_STREQ(icaltimezone_get_tzid(zone.get()), "Zone/Under_Test");
        icaltimetype t = icaltime_null_time();
        t.year = c.year;
        t.month = c.month;
        t.day = c.day;
        t.hour = c.hour;
        t.minute = c.minute;
        int daylight = 0;
        EXPECT_EQ(icaltimezone_get_utc_offset(zone.get(), &t, &daylight), c.east) << text;
    }
}

TEST(VTimezoneText, RulesThatCannotBeStatedGiveNoZone) {
    Rules noWeek = kBerlin;
    noWeek.toStandard.week = 0;
    Rules badMonth = kBerlin;
    badMonth.toDaylight.month = 13;
    Rules badDay = kPacific;
    badDay.toStandard.dayOfWeek = 7;
    Rules oneChange = kBerlin;
    oneChange.toDaylight = {};
    Rules farOff = kIndia;
    farOff.bias = 24 * 60;
    const struct {
        const char* name;
        const Rules* rules;
        const char* tzid;
    } cases[] = {
        {"week 0", &noWeek, "Europe/Berlin"},
        {"month 13", &badMonth, "Europe/Berlin"},
        {"day of week 7", &badDay, "America/Los_Angeles"},
        {"one change only", &oneChange, "Europe/Berlin"},
        {"a day from UTC", &farOff, "Asia/Kolkata"},
        {"no name", &kBerlin, ""},
        {"name breaking the line", &kBerlin, "Europe/Berlin\r\nBEGIN:VEVENT"},
        {"name with a separator", &kBerlin, "Europe;Berlin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(VTimezoneText::Build(*c.rules, c.tzid), "");
    }
}

// An appointment repeating daily from 2024-07-03 12:00 in Berlin.
ExportEvent DailyAtNoonInBerlin() {
    ExportEvent event;
    event.nId = 1;
    event.nStart = 1720000800;  // 2024-07-03 12:00 in Berlin (10:00 UTC)
    event.nEnd = event.nStart + 900;
    event.Repeat.nRuleKind = 1;
    event.Repeat.nInterval = 1;
    event.Repeat.nClassMarker = palm::PmRepeatRule::kNewClass;
    event.Repeat.szClassName = "CDayName";
    return event;
}

// A repeating appointment written with a zone made from rules carries that
// zone's VTIMEZONE and keeps its local wall-clock start.
TEST(VTimezoneText, ARepeatingEventIsWrittenInTheZoneMadeFromRules) {
    if (!lazrine::testing::kHasZoneDatabase) {
        GTEST_SKIP() << "the local times come from the zone database";
    }
    platform::LocalClock::UseTimeZone("Europe/Berlin");
    ExportEvent event = DailyAtNoonInBerlin();
    event.szSummary = "Stand-up";

    Rules utcAllYear = MakeRules("x", 60, {10, 5, 0, 3, 0, 0}, {3, 5, 0, 2, 0, 0});
    utcAllYear.standardBias = -60;
    utcAllYear.daylightBias = -60;
    const struct {
        const char* name;
        Rules rules;
        bool zoned;
    } cases[] = {
        {"usable rules", kBerlin, true},
        {"unusable rules", MakeRules("x", -60, {13, 5, 0, 3, 0, 0}, {3, 5, 0, 2, 0, 0}), false},
        // Wine's zone on a UTC host, and rules whose changes keep UTC: written as in Etc/UTC.
        {"Greenwich Standard Time", MakeRules("Greenwich Standard Time", 0, {}, {}), false},
        {"changes that keep UTC", utcAllYear, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ostringstream out;
        ExportStreamSink sink(out);
        ICalWriter writer(sink, c.rules, "Europe/Berlin", 1700000000);
        ASSERT_TRUE(writer.Begin());
        ASSERT_TRUE(writer.WriteEvent(event));
        ASSERT_TRUE(writer.End());
        ASSERT_TRUE(sink.Finish());
        const std::string text = out.str();
        EXPECT_EQ(text.find("BEGIN:VTIMEZONE") != std::string::npos, c.zoned) << text;
        EXPECT_EQ(text.find("DTSTART;TZID=Europe/Berlin:20240703T120000") != std::string::npos, c.zoned) << text;
        EXPECT_EQ(text.find("DTSTART:20240703T100000Z") != std::string::npos, !c.zoned) << text;
    }
    platform::LocalClock::UseTimeZone("");
}

#ifdef _WIN32
// On Windows, without TZ, an export takes the system's zone from its rules:
// scripts/test-windows.sh runs this once more with Wine in Berlin's zone.
TEST(SystemZone, ARepeatingEventKeepsTheSystemsZone) {
    const char* set = std::getenv("TZ");
    const std::string before = set == nullptr ? "" : set;
    platform::LocalClock::UseTimeZone(nullptr);
    Rules rules;
    // Wine names Berlin's rules after any zone that has them.
    const bool berlin = platform::LocalClock::SystemZoneRules(rules) && rules.bias == -60 &&
                        rules.daylightBias == -60 && rules.toStandard.month == 10 && rules.toStandard.week == 5 &&
                        rules.toDaylight.month == 3 && rules.toDaylight.week == 5;
    const std::string tzid(platform::WindowsZoneNames::ZoneDatabaseName(rules.name));
    if (!berlin || tzid.empty()) {
        platform::LocalClock::UseTimeZone(before.c_str());
        GTEST_SKIP() << "needs Windows in Berlin's zone, not '" << rules.name << "'";
    }
    const ExportEvent event = DailyAtNoonInBerlin();
    std::ostringstream out;
    ExportStreamSink sink(out);
    {
        ICalWriter writer(sink, {}, 1700000000);
        EXPECT_TRUE(writer.Begin() && writer.WriteEvent(event) && writer.End() && sink.Finish());
    }
    platform::LocalClock::UseTimeZone(before.c_str());
    const std::string text = out.str();
    EXPECT_NE(text.find("TZID:" + tzid + "\r\nBEGIN:STANDARD\r\nDTSTART:16011028T030000\r\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("DTSTART;TZID=" + tzid + ":20240703T120000"), std::string::npos) << text;
}
#endif

}  // namespace
}  // namespace lazrine::exporting
