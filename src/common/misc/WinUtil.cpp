#include "common/misc/WinUtil.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace lazrine::misc {
namespace {

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2 ? 1 : 0));
}

}  // namespace

std::string WinUtil::VariantTimeToText(double date) {
    // Valid OLE dates run from year 100 to 9999.
    if (!std::isfinite(date) || date < -657434.0 || date >= 2958466.0) {
        return {};
    }
    // The integer part counts days (toward zero); the fraction is the time of
    // day, also for dates before 1899-12-30.
    const double whole = std::trunc(date);
    auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(date - whole) * 86400.0));
    auto days = static_cast<std::int64_t>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += date < 0 ? -1 : 1;
    }
    int year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(days - 25569, year, month, day);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d %02d:%02d:%02d", month, day, year,
                  static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60));
    return buf;
}

}  // namespace lazrine::misc
