#include "platform/WindowsZoneNames.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <cstdlib>
#include <string>

#include "platform/LocalClock.h"

namespace lazrine::platform {
namespace {

TEST(WindowsZoneNames, MapsWindowsKeyNamesExactly) {
    const struct {
        const char* windowsName;
        const char* zoneName;
    } cases[] = {
        {"W. Europe Standard Time", "Europe/Berlin"},
        {"Pacific Standard Time", "America/Los_Angeles"},
        {"Eastern Standard Time", "America/New_York"},
        {"GMT Standard Time", "Europe/London"},
        {"UTC", "Etc/UTC"},
        {"Dateline Standard Time", "Etc/GMT+12"},  // the database's signs are inverted
        {"UTC+13", "Etc/GMT-13"},
        {"FLE Standard Time", "Europe/Kyiv"},
        {"India Standard Time", "Asia/Kolkata"},
        {"Yukon Standard Time", "America/Whitehorse"},
        {"AUS Eastern Standard Time", "Australia/Sydney"},
        {"Pacific Standard Time (Mexico)", "America/Tijuana"},
        // Not Windows key names: no zone.
        {"w. europe standard time", ""},
        {"W. Europe Standard Time ", ""},
        {"Pacific Standard", ""},
        {"Europe/Berlin", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windowsName);
        EXPECT_EQ(WindowsZoneNames::ZoneDatabaseName(c.windowsName), c.zoneName);
    }
}

// An export can only use a zone its iCalendar library can describe: every
// name the table gives is one libical knows (the system's zone data on
// Linux, libical's own on Windows), and every entry is found by its key.
TEST(WindowsZoneNames, EveryZoneIsOneTheCalendarLibraryKnows) {
    ASSERT_GT(WindowsZoneNames::All().size(), 130u);
    if (icaltimezone_get_builtin_timezone("Europe/Berlin") == nullptr) {
        GTEST_SKIP() << "libical has no zone data here";
    }
    for (const auto& entry : WindowsZoneNames::All()) {
        SCOPED_TRACE(std::string(entry.windowsName));
        const std::string zone(entry.zoneName);
        EXPECT_NE(icaltimezone_get_builtin_timezone(zone.c_str()), nullptr) << zone;
        EXPECT_EQ(WindowsZoneNames::ZoneDatabaseName(entry.windowsName), entry.zoneName);
    }
}

#ifdef _WIN32
// Without TZ the system's own zone is named in the database's terms.
TEST(WindowsZoneNames, TheSystemZoneIsNamedWithoutTz) {
    const char* set = std::getenv("TZ");
    const std::string before = set == nullptr ? "" : set;
    LocalClock::UseTimeZone(nullptr);
    const std::string zone = LocalClock::ZoneName();
    LocalClock::UseTimeZone(before.c_str());
    bool known = false;
    for (const auto& entry : WindowsZoneNames::All()) {
        known = known || entry.zoneName == zone;
    }
    EXPECT_TRUE(known) << zone;
}
#endif

}  // namespace
}  // namespace lazrine::platform
