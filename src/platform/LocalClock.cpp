#include "platform/LocalClock.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <windows.h>

#include "platform/WindowsZoneNames.h"
#include "platform/windows/WideText.h"
#endif

namespace lazrine::platform {

bool LocalClock::ToLocal(std::int64_t secondsSince1970, Fields& out) {
    const auto t = static_cast<std::time_t>(secondsSince1970);
    if (static_cast<std::int64_t>(t) != secondsSince1970) {
        return false;
    }
    std::tm tm{};
#ifdef _WIN32
    // The C run-time of Windows refuses times before 1970 and after 3000.
    if (localtime_s(&tm, &t) != 0) {
        return false;
    }
#else
    if (localtime_r(&t, &tm) == nullptr) {
        return false;
    }
#endif
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

bool LocalClock::FromLocal(const Fields& local, std::int64_t& secondsSince1970) {
    std::tm tm{};
    tm.tm_year = local.year - 1900;
    tm.tm_mon = local.month - 1;
    tm.tm_mday = local.day;
    tm.tm_hour = local.hour;
    tm.tm_min = local.minute;
    tm.tm_sec = local.second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) {
        // -1 is also one second before 1970; tell it apart by its fields.
        if (!(local.year == 1969 && local.month == 12 && local.day == 31)) {
            return false;
        }
    }
    secondsSince1970 = static_cast<std::int64_t>(t);
    return true;
}

std::string LocalClock::ZoneName() {
    const char* tz = std::getenv("TZ");
    if (tz != nullptr) {
        std::string name(tz);
        if (!name.empty() && name.front() == ':') {
            name.erase(0, 1);
        }
        const auto at = name.find("zoneinfo/");
        if (at != std::string::npos) {
            name.erase(0, at + 9);
        }
        // A POSIX rule ("CET-1CEST") names no zone of the database.
        return name.find_first_of(",<>0123456789") == std::string::npos || name.find('/') != std::string::npos
                   ? name
                   : std::string();
    }
#ifdef _WIN32
    // Windows names its zones in its own way ("W. Europe Standard Time"):
    // the zone database's name for it. With the automatic daylight-saving
    // change turned off, local time keeps one offset all year, which no
    // named zone does: none then.
    DYNAMIC_TIME_ZONE_INFORMATION info{};
    if (::GetDynamicTimeZoneInformation(&info) == TIME_ZONE_ID_INVALID || info.DynamicDaylightTimeDisabled) {
        return {};
    }
    return std::string(WindowsZoneNames::ZoneDatabaseName(WideText::ToUtf8(info.TimeZoneKeyName)));
#else
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::read_symlink("/etc/localtime", ec);
    if (ec) {
        return {};
    }
    const std::string text = target.generic_string();
    const auto at = text.find("zoneinfo/");
    return at == std::string::npos ? std::string() : text.substr(at + 9);
#endif
}

#ifdef _WIN32
namespace {

// A change of TIME_ZONE_INFORMATION: a yearly rule has no year.
bool ToChange(const SYSTEMTIME& at, LocalClock::ZoneRules::Change& out) {
    if (at.wYear != 0 || at.wMonth > 12 || at.wDay > 5 || at.wDayOfWeek > 6) {
        return false;
    }
    out.month = at.wMonth;
    out.week = at.wDay;
    out.dayOfWeek = at.wDayOfWeek;
    out.hour = at.wHour;
    out.minute = at.wMinute;
    out.second = at.wSecond;
    return true;
}

}  // namespace
#endif

bool LocalClock::SystemZoneRules(ZoneRules& out) {
#ifdef _WIN32
    if (std::getenv("TZ") != nullptr) {
        return false;
    }
    DYNAMIC_TIME_ZONE_INFORMATION info{};
    if (::GetDynamicTimeZoneInformation(&info) == TIME_ZONE_ID_INVALID || info.DynamicDaylightTimeDisabled) {
        return false;
    }
    ZoneRules rules;
    rules.name = WideText::ToUtf8(info.TimeZoneKeyName);
    rules.bias = static_cast<int>(info.Bias);
    rules.standardBias = static_cast<int>(info.StandardBias);
    rules.daylightBias = static_cast<int>(info.DaylightBias);
    if (!ToChange(info.StandardDate, rules.toStandard) || !ToChange(info.DaylightDate, rules.toDaylight) ||
        (rules.toStandard.month == 0) != (rules.toDaylight.month == 0)) {
        return false;
    }
    out = std::move(rules);
    return true;
#else
    static_cast<void>(out);
    return false;
#endif
}

void LocalClock::UseTimeZone(const char* zone) {
#ifdef _WIN32
    // The C run-time of Windows reads TZ in the POSIX form without rules
    // ("UTC", "EST5EDT"); an empty value returns to the system's zone.
    _putenv_s("TZ", zone == nullptr ? "" : zone);
    _tzset();
#else
    if (zone == nullptr || *zone == '\0') {
        unsetenv("TZ");
    } else {
        setenv("TZ", zone, 1);
    }
    tzset();
#endif
}

}  // namespace lazrine::platform
