#pragma once

#include <cstdint>
#include <string>

namespace lazrine::platform {

// Conversions between seconds since 1970-01-01 00:00:00 UTC and the calendar
// time of the system's time zone, daylight saving included.
class LocalClock {
public:
    struct Fields {
        int year = 0;
        int month = 0;  // 1..12
        int dayOfWeek = 0;  // 0 = Sunday
        int day = 0;
        int hour = 0;
        int minute = 0;
        int second = 0;
    };

    // False, leaving `out` unchanged, when the value has no local calendar
    // form on this system.
    static bool ToLocal(std::int64_t secondsSince1970, Fields& out);
    // The current local time.
    static Fields Now();
    // The instant a local calendar time names (day of the week ignored); for
    // a time that a daylight-saving change skips or repeats, the system's
    // choice. False when the fields name no representable instant.
    static bool FromLocal(const Fields& local, std::int64_t& secondsSince1970);
    // The name of the time zone in use ("Europe/Berlin"): the TZ variable,
    // else the zone /etc/localtime links to (on Windows, the zone database's
    // name for the system's zone); empty when neither names one.
    static std::string ZoneName();
    // A time zone as Windows states it: one rule for the change to standard
    // time and one for the change to daylight-saving time, the same every
    // year. Local standard time = UTC - (bias + standardBias) minutes,
    // local daylight time = UTC - (bias + daylightBias) minutes.
    struct ZoneRules {
        // A yearly change: in `month` (1..12; 0 in both: no daylight saving),
        // on the `week`th (1..4; 5: the last) `dayOfWeek` (0 = Sunday) of
        // the month, at the local time (of the time in force until then).
        struct Change {
            int month = 0;
            int week = 0;
            int dayOfWeek = 0;
            int hour = 0;
            int minute = 0;
            int second = 0;
        };
        std::string name;  // the system's name for the zone ("W. Europe Standard Time")
        int bias = 0;
        int standardBias = 0;
        int daylightBias = 0;
        Change toStandard;
        Change toDaylight;
    };
    // The system's zone as yearly rules where the system keeps it so
    // (Windows, without TZ); false elsewhere, where the zone database
    // describes zones, and for rules given as fixed dates.
    static bool SystemZoneRules(ZoneRules& out);
    // Makes the process use the time zone `zone` ("UTC", "America/New_York",
    // ...) for every later conversion; an empty name restores the system's.
    // For tests and tools that must not depend on where they run.
    static void UseTimeZone(const char* zone);
};

}  // namespace lazrine::platform
