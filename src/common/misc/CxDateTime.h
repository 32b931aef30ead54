#pragma once

#include <cstdint>
#include <string>

namespace lazrine::misc {

// A calendar time in two synchronised forms: an OLE automation date (days
// since 1899-12-30, the fraction the time of day) and calendar fields. Every
// setter fills one form and derives the other, so both always describe the
// same moment (to the second). Dates and times of the record files are
// seconds since 1970-01-01 00:00:00 UTC, shown in the system's local time.
class CxDateTime {
public:
    // The calendar fields, laid out as the 16-byte system time of the
    // Windows API.
    struct Fields {
        std::uint16_t wYear = 0;
        std::uint16_t wMonth = 0;  // 1..12
        std::uint16_t wDayOfWeek = 0;  // 0 = Sunday
        std::uint16_t wDay = 0;
        std::uint16_t wHour = 0;
        std::uint16_t wMinute = 0;
        std::uint16_t wSecond = 0;
        std::uint16_t wMilliseconds = 0;

        bool operator==(const Fields&) const = default;
    };

    // The current local time of the system.
    CxDateTime();
    virtual ~CxDateTime() = default;
    CxDateTime(const CxDateTime&) = default;
    CxDateTime& operator=(const CxDateTime&) = default;

    // Seconds since 1970-01-01 00:00:00 UTC to local calendar time (the
    // system's time zone, daylight saving included), milliseconds 0. Takes
    // every stored 32-bit value, signed or unsigned, widened. False, and
    // nothing changed, when the value has no local-time form.
    bool SetUnixTime(std::int64_t seconds);
    // Takes the fields as they are (all zero shows 00/00/0000 00:00:00); the
    // OLE date is derived when the fields name a valid date, else it is 0.
    void SetSystemTime(const Fields& fields);
    // Takes an OLE date and derives the fields, rounded to the second. False,
    // and nothing changed, for a date outside years 100 to 9999.
    bool SetVariantTime(double date);

    const Fields& GetTimeFields() const { return m_Time; }
    double GetVariantTime() const { return m_dDate; }

    // "%02d/%02d/%04d": month, day, year.
    std::string FormatDate() const;
    // "%02d:%02d:%02d": hour, minute, second.
    std::string FormatTime() const;
    // The date text and the time text joined by one blank.
    std::string FormatDateTime() const;

    // Days since 1970-01-01 of a proleptic Gregorian date, and back.
    static std::int64_t DaysFromCivil(int year, int month, int day);
    static void CivilFromDays(std::int64_t days, int& year, int& month, int& day);
    // The days of `month` (1..12) in `year`, leap years counted.
    static int DaysInMonth(int year, int month);
    // 0 = Sunday ... 6 = Saturday, of a day counted as DaysFromCivil does.
    static int DayOfWeek(std::int64_t daysSince1970);

private:
    double m_dDate = 0;
    Fields m_Time;
};

}  // namespace lazrine::misc
