#pragma once

#include <cstdint>

#include "common/misc/CxDateTime.h"

namespace lazrine::palm {

// A date value as the record files and databases store it: seconds since
// 1970-01-01 00:00:00 UTC, unsigned 32-bit. 0xFFFFFFFF is Palm Desktop's
// "no time" mark and has no local time.
class PmTime {
public:
    static constexpr std::uint32_t kNoTime = 0xFFFFFFFFu;

    // 0 takes the current time; any other value is kept unchanged.
    explicit PmTime(std::uint32_t value);

    void SetTime(std::uint32_t value) { m_nTime = value; }
    std::uint32_t GetTime() const { return m_nTime; }

    // The local calendar time of the value (the system's time zone, daylight
    // saving included): every field zeroed, then year, month, day, hour,
    // minute and second; day of the week and milliseconds stay 0. False, and
    // `st` unchanged, when `st` is absent or the value has no local time.
    bool ToSystemTime(misc::CxDateTime::Fields* st) const;

private:
    std::uint32_t m_nTime = 0;
};

}  // namespace lazrine::palm
