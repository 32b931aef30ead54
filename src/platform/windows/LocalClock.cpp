#include "platform/LocalClock.h"

#include <cstdlib>
#include <ctime>

namespace lazrine::platform {

bool LocalClock::ToLocal(std::int64_t secondsSince1970, Fields& out) {
    const auto t = static_cast<std::time_t>(secondsSince1970);
    if (static_cast<std::int64_t>(t) != secondsSince1970) {
        return false;
    }
    std::tm tm{};
    // The C run-time converts with the time zone of the system, or of TZ
    // when that is set; it refuses times before 1970 and after 3000.
    if (localtime_s(&tm, &t) != 0) {
        return false;
    }
    Fields f;
    f.year = tm.tm_year + 1900;
    f.month = tm.tm_mon + 1;
    f.dayOfWeek = tm.tm_wday;
    f.day = tm.tm_mday;
    f.hour = tm.tm_hour;
    f.minute = tm.tm_min;
    f.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    out = f;
    return true;
}

LocalClock::Fields LocalClock::Now() {
    Fields f;
    ToLocal(static_cast<std::int64_t>(std::time(nullptr)), f);
    return f;
}

void LocalClock::UseTimeZone(const char* zone) {
    // The C run-time reads TZ in the POSIX form without rules ("UTC",
    // "EST5EDT"); an empty value returns to the system's zone.
    _putenv_s("TZ", zone == nullptr ? "" : zone);
    _tzset();
}

}  // namespace lazrine::platform
