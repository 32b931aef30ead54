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
    if (localtime_r(&t, &tm) == nullptr) {
        return false;
    }
    Fields f;
    f.year = tm.tm_year + 1900;
    f.month = tm.tm_mon + 1;
    f.dayOfWeek = tm.tm_wday;
    f.day = tm.tm_mday;
    f.hour = tm.tm_hour;
    f.minute = tm.tm_min;
    // A leap second shows as the last second of its minute.
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
    if (zone == nullptr || *zone == '\0') {
        unsetenv("TZ");
    } else {
        setenv("TZ", zone, 1);
    }
    tzset();
}

}  // namespace lazrine::platform
