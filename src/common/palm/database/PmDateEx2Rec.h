#pragma once

#include <cstdint>
#include <string>

namespace lazrine::palm {

// A row of the "Main" table of a Palm Desktop 6 date book database. Texts are
// kept whole and lossless (UTF-8); a NULL text reads as empty. Start Time and
// End Time are stored as decimal texts: the numbers are read unsigned, and
// the texts are also kept exactly as loaded, because they are part of what
// identifies the row again.
struct PmDateEx2Rec {
    std::uint32_t nRecordId = 0;
    std::uint32_t nStatus = 0;
    std::int32_t nPlacement = 0;
    std::uint8_t nPrivate = 0;
    std::int32_t nCategoryId = 0;
    std::string szNote;
    std::uint32_t nStartTime = 0;
    std::string szStartTime;
    std::uint32_t nEndTime = 0;
    std::string szEndTime;
    std::uint8_t nUntimed = 0;
    std::string szTimeZone;
    std::string szLocation;
    std::string szSummary;
    std::uint8_t nAlarm = 0;
    std::int32_t nAlarmAdvance = 0;
    std::int32_t nAlarmUnit = 0;
    std::string szRepeatedEvent;
    // The status the row held when it was loaded: a write checks that the
    // row still holds it.
    std::uint32_t nLoadedStatus = 0;
};

}  // namespace lazrine::palm
