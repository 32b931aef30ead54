#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/palm/PmFieldRef.h"
#include "common/palm/PmRepeatRule.h"

namespace lazrine::palm {

// An appointment of the classic date book file. Position 9 (`nExtraD`)
// holds the private flag and position 11 (`nExtraF`) the alarm flag; the
// other positions the codec does not interpret are carried through. A start
// or end of 0xFFFFFFFF ("no time") is kept like any other value, and texts
// are kept whole.
struct PmDateRec {
    static constexpr std::size_t kFieldCount = 15;

    std::uint32_t nRecordId = 0;
    std::uint32_t nStatus = 0;
    std::uint32_t nPlacement = 0;
    std::uint32_t nStartTime = 0;
    std::uint32_t nEndTime = 0;
    std::string_view szDescription;
    std::uint32_t nExtraC = 0;
    std::string_view szNote;
    std::uint32_t nAllDay = 0;
    std::uint32_t nExtraD = 0;
    std::uint32_t nExtraE = 0;
    std::uint32_t nExtraF = 0;
    std::uint32_t nExtraG = 0;
    std::uint32_t nExtraH = 0;
    PmRepeatRule Repeat;

    static PmFieldRef Field(PmDateRec& rec, std::size_t pos) {
        switch (pos) {
            case 0:
                return {&rec.nRecordId};
            case 1:
                return {&rec.nStatus};
            case 2:
                return {&rec.nPlacement};
            case 3:
                return {&rec.nStartTime, PM_FIELD_DATE};
            case 4:
                return {&rec.nEndTime, PM_FIELD_DATE};
            case 5:
                return {&rec.szDescription};
            case 6:
                return {&rec.nExtraC};
            case 7:
                return {&rec.szNote};
            case 8:
                return {&rec.nAllDay, PM_FIELD_BOOLEAN};
            case 9:
                return {&rec.nExtraD, PM_FIELD_BOOLEAN};
            case 10:
                return {&rec.nExtraE};
            case 11:
                return {&rec.nExtraF, PM_FIELD_BOOLEAN};
            case 12:
                return {&rec.nExtraG};
            case 13:
                return {&rec.nExtraH};
            case 14:
                return {&rec.Repeat};
            default:
                return {};
        }
    }
};

}  // namespace lazrine::palm
