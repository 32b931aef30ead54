#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/palm/PmExRecordHeader.h"
#include "common/palm/PmRepeatRule.h"

namespace lazrine::palm {

// An appointment of the extended date book file: the common header, then
// start and end (dates, 13 and 14), the description (15), the note (17), the
// untimed flag (18), the repeat field (22) and the location (23). The other
// positions are carried through. Texts are kept whole.
struct PmDateExRec : PmExRecordHeader {
    static constexpr std::size_t kFieldCount = 27;

    std::uint32_t nStartTime = 0;
    std::uint32_t nEndTime = 0;
    PmFileText szDescription;
    std::uint32_t nExtraC = 0;
    PmFileText szNote;
    std::uint32_t nAllDay = 0;
    std::uint32_t nExtraD = 0;
    std::uint32_t nExtraE = 0;
    std::uint32_t nExtraF = 0;
    PmRepeatRule Repeat;
    PmFileText szLocation;
    std::uint32_t nExtraG = 0;
    PmFileText szExtraC;
    PmFileText szExtraD;

    static PmFieldRef Field(PmDateExRec& rec, std::size_t pos) {
        switch (pos) {
            case 13:
                return {&rec.nStartTime, PM_FIELD_DATE};
            case 14:
                return {&rec.nEndTime, PM_FIELD_DATE};
            case 15:
                return {&rec.szDescription};
            case 16:
                return {&rec.nExtraC};
            case 17:
                return {&rec.szNote};
            case 18:
                return {&rec.nAllDay, PM_FIELD_BOOLEAN};
            case 19:
                return {&rec.nExtraD, PM_FIELD_BOOLEAN};
            case 20:
                return {&rec.nExtraE};
            case 21:
                return {&rec.nExtraF};
            case 22:
                return {&rec.Repeat};
            case 23:
                return {&rec.szLocation};
            case 24:
                return {&rec.nExtraG};
            case 25:
                return {&rec.szExtraC};
            case 26:
                return {&rec.szExtraD};
            default:
                return rec.HeaderField(pos);
        }
    }
};

}  // namespace lazrine::palm
