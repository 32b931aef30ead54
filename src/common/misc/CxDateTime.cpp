#include "common/misc/CxDateTime.h"

#include <cmath>
#include <cstdio>

#include "platform/LocalClock.h"

namespace lazrine::misc {
namespace {

// OLE dates count from 1899-12-30, 25,569 days before 1970-01-01.
constexpr std::int64_t kOleEpochOffset = 25569;
// Years 100 to 9999, as the system's conversions accept them.
constexpr double kOleMin = -657434.0;
constexpr double kOleEnd = 2958466.0;

}  // namespace

int CxDateTime::DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

int CxDateTime::DayOfWeek(std::int64_t daysSince1970) {
    // 1970-01-01 was a Thursday.
    const std::int64_t w = (daysSince1970 + 4) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

std::int64_t CxDateTime::DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const auto mp = static_cast<unsigned>(month > 2 ? month - 3 : month + 9);
    const unsigned doy = (153 * mp + 2) / 5 + static_cast<unsigned>(day) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CxDateTime::CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
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

CxDateTime::CxDateTime() {
    const platform::LocalClock::Fields now = platform::LocalClock::Now();
    Fields f;
    f.wYear = static_cast<std::uint16_t>(now.year);
    f.wMonth = static_cast<std::uint16_t>(now.month);
    f.wDayOfWeek = static_cast<std::uint16_t>(now.dayOfWeek);
    f.wDay = static_cast<std::uint16_t>(now.day);
    f.wHour = static_cast<std::uint16_t>(now.hour);
    f.wMinute = static_cast<std::uint16_t>(now.minute);
    f.wSecond = static_cast<std::uint16_t>(now.second);
    SetSystemTime(f);
}

bool CxDateTime::SetUnixTime(std::int64_t seconds) {
    platform::LocalClock::Fields local;
    if (!platform::LocalClock::ToLocal(seconds, local) || local.year < 0 || local.year > 0xFFFF) {
        return false;
    }
    Fields f;
    f.wYear = static_cast<std::uint16_t>(local.year);
    f.wMonth = static_cast<std::uint16_t>(local.month);
    f.wDayOfWeek = static_cast<std::uint16_t>(local.dayOfWeek);
    f.wDay = static_cast<std::uint16_t>(local.day);
    f.wHour = static_cast<std::uint16_t>(local.hour);
    f.wMinute = static_cast<std::uint16_t>(local.minute);
    f.wSecond = static_cast<std::uint16_t>(local.second);
    SetSystemTime(f);
    return true;
}

void CxDateTime::SetSystemTime(const Fields& fields) {
    m_Time = fields;
    const bool valid = fields.wYear >= 100 && fields.wYear <= 9999 && fields.wMonth >= 1 && fields.wMonth <= 12 &&
                       fields.wDay >= 1 && fields.wDay <= DaysInMonth(fields.wYear, fields.wMonth) &&
                       fields.wHour < 24 && fields.wMinute < 60 && fields.wSecond < 60 &&
                       fields.wMilliseconds < 1000;
    if (!valid) {
        m_dDate = 0;
        return;
    }
    const auto days = static_cast<double>(DaysFromCivil(fields.wYear, fields.wMonth, fields.wDay) + kOleEpochOffset);
    const double dayPart =
        (fields.wHour * 3600.0 + fields.wMinute * 60.0 + fields.wSecond + fields.wMilliseconds / 1000.0) / 86400.0;
    // Before 1899-12-30 the fraction still counts forward from midnight, so
    // the whole value moves away from zero.
    m_dDate = days < 0 ? days - dayPart : days + dayPart;
}

bool CxDateTime::SetVariantTime(double date) {
    if (!std::isfinite(date) || date < kOleMin || date >= kOleEnd) {
        return false;
    }
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
    CivilFromDays(days - kOleEpochOffset, year, month, day);
    m_dDate = date;
    m_Time = Fields{};
    m_Time.wYear = static_cast<std::uint16_t>(year);
    m_Time.wMonth = static_cast<std::uint16_t>(month);
    m_Time.wDayOfWeek = static_cast<std::uint16_t>(DayOfWeek(days - kOleEpochOffset));
    m_Time.wDay = static_cast<std::uint16_t>(day);
    m_Time.wHour = static_cast<std::uint16_t>(seconds / 3600);
    m_Time.wMinute = static_cast<std::uint16_t>(seconds / 60 % 60);
    m_Time.wSecond = static_cast<std::uint16_t>(seconds % 60);
    return true;
}

std::string CxDateTime::FormatDate() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", m_Time.wMonth, m_Time.wDay, m_Time.wYear);
    return buf;
}

std::string CxDateTime::FormatTime() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", m_Time.wHour, m_Time.wMinute, m_Time.wSecond);
    return buf;
}

std::string CxDateTime::FormatDateTime() const { return FormatDate() + " " + FormatTime(); }

}  // namespace lazrine::misc
