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
    // else the zone /etc/localtime links to; empty when neither names one.
    static std::string ZoneName();
    // Makes the process use the time zone `zone` ("UTC", "America/New_York",
    // ...) for every later conversion; an empty name restores the system's.
    // For tests and tools that must not depend on where they run.
    static void UseTimeZone(const char* zone);
};

}  // namespace lazrine::platform
