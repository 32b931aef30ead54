#include "common/export/VTimezoneText.h"

#include <cstdlib>

#include "common/misc/CxDateTime.h"

namespace lazrine::exporting {
namespace {

using Change = platform::LocalClock::ZoneRules::Change;
using misc::CxDateTime;

// Windows has zones up to 14 hours from UTC; a bias beyond a day is no zone.
constexpr int kMaxOffsetMinutes = 24 * 60;

bool ValidChange(const Change& c) {
    return c.month >= 1 && c.month <= 12 && c.week >= 1 && c.week <= 5 && c.dayOfWeek >= 0 && c.dayOfWeek <= 6 &&
           c.hour >= 0 && c.hour <= 23 && c.minute >= 0 && c.minute <= 59 && c.second >= 0 && c.second <= 59;
}

// Two or more digits, zero-padded.
std::string Digits(int value, std::size_t width = 2) {
    std::string text = std::to_string(value);
    return std::string(text.size() < width ? width - text.size() : 0, '0') + text;
}

// "+0100", "-0330": minutes east of UTC.
std::string Offset(int minutesEast) {
    const int magnitude = std::abs(minutesEast);
    return (minutesEast < 0 ? "-" : "+") + Digits(magnitude / 60) + Digits(magnitude % 60);
}

// "16010325T020000": the first day in 1601 the change falls on, at its time.
std::string FirstStart(const Change& c) {
    constexpr int kYear = 1601;
    std::int64_t day = 0;
    if (c.week == 5) {
        const std::int64_t last = CxDateTime::DaysFromCivil(kYear, c.month, CxDateTime::DaysInMonth(kYear, c.month));
        day = last - (CxDateTime::DayOfWeek(last) - c.dayOfWeek + 7) % 7;
    } else {
        const std::int64_t first = CxDateTime::DaysFromCivil(kYear, c.month, 1);
        day = first + (c.dayOfWeek - CxDateTime::DayOfWeek(first) + 7) % 7 + 7 * (c.week - 1);
    }
    int year = 0;
    int month = 0;
    int dayOfMonth = 0;
    CxDateTime::CivilFromDays(day, year, month, dayOfMonth);
    return Digits(year, 4) + Digits(month) + Digits(dayOfMonth) + "T" + Digits(c.hour) + Digits(c.minute) +
           Digits(c.second);
}

std::string YearlyRule(const Change& c) {
    static constexpr const char* kDays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    return "RRULE:FREQ=YEARLY;BYMONTH=" + std::to_string(c.month) + ";BYDAY=" +
           (c.week == 5 ? std::string("-1") : std::to_string(c.week)) + kDays[c.dayOfWeek] + "\r\n";
}

std::string Part(const char* kind, const std::string& start, const std::string& rule, int fromEast, int toEast) {
    return std::string("BEGIN:") + kind + "\r\nDTSTART:" + start + "\r\n" + rule + "TZOFFSETFROM:" +
           Offset(fromEast) + "\r\nTZOFFSETTO:" + Offset(toEast) + "\r\nEND:" + kind + "\r\n";
}

bool PlainName(std::string_view tzid) {
    if (tzid.empty()) {
        return false;
    }
    for (const char ch : tzid) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x20 || byte == 0x7F || ch == ';' || ch == ',' || ch == '\\' || ch == '"' || ch == ':') {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string VTimezoneText::Build(const platform::LocalClock::ZoneRules& rules, std::string_view tzid) {
    const int standardEast = -(rules.bias + rules.standardBias);
    const int daylightEast = -(rules.bias + rules.daylightBias);
    if (!PlainName(tzid) || std::abs(standardEast) >= kMaxOffsetMinutes ||
        std::abs(daylightEast) >= kMaxOffsetMinutes) {
        return {};
    }
    std::string text = "BEGIN:VTIMEZONE\r\nTZID:" + std::string(tzid) + "\r\n";
    if (rules.toStandard.month == 0 && rules.toDaylight.month == 0) {
        text += Part("STANDARD", "16010101T000000", "", standardEast, standardEast);
    } else {
        if (!ValidChange(rules.toStandard) || !ValidChange(rules.toDaylight)) {
            return {};
        }
        text += Part("STANDARD", FirstStart(rules.toStandard), YearlyRule(rules.toStandard), daylightEast,
                     standardEast);
        text += Part("DAYLIGHT", FirstStart(rules.toDaylight), YearlyRule(rules.toDaylight), standardEast,
                     daylightEast);
    }
    return text + "END:VTIMEZONE\r\n";
}

}  // namespace lazrine::exporting
