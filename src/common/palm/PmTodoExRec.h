#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/palm/PmExRecordHeader.h"
#include "common/palm/PmRepeatRule.h"

namespace lazrine::palm {

// A task of the extended to-do file: the common header, then the description
// (13), due date (14), completed flag (15), priority (16), note (17), four
// carried-through values and dates (18, 19, 21..23), the alarm flag (20) and
// the repeat field (24). Texts are kept whole; the repeat field keeps its
// exception dates and stored form. Dates are written with tag 3, flags with
// tag 6, other numbers with tag 1, whatever tags the file held.
struct PmTodoExRec : PmExRecordHeader {
    static constexpr std::size_t kFieldCount = 25;

    std::string_view szDescription;
    std::uint32_t nDueDate = 0;
    std::uint32_t nCompleted = 0;
    std::uint32_t nPriority = 0;
    std::string_view szNote;
    std::uint32_t nExtraC = 0;
    std::uint32_t nExtraDateA = 0;
    std::uint32_t nAlarm = 0;
    std::uint32_t nExtraDateB = 0;
    std::uint32_t nExtraD = 0;
    std::uint32_t nExtraDateC = 0;
    PmRepeatRule Repeat;

    static PmFieldRef Field(PmTodoExRec& rec, std::size_t pos) {
        switch (pos) {
            case 13:
                return {&rec.szDescription};
            case 14:
                return {&rec.nDueDate, PM_FIELD_DATE};
            case 15:
                return {&rec.nCompleted, PM_FIELD_BOOLEAN};
            case 16:
                return {&rec.nPriority};
            case 17:
                return {&rec.szNote};
            case 18:
                return {&rec.nExtraC, PM_FIELD_BOOLEAN};
            case 19:
                return {&rec.nExtraDateA, PM_FIELD_DATE};
            case 20:
                return {&rec.nAlarm, PM_FIELD_BOOLEAN};
            case 21:
                return {&rec.nExtraDateB, PM_FIELD_DATE};
            case 22:
                return {&rec.nExtraD};
            case 23:
                return {&rec.nExtraDateC, PM_FIELD_DATE};
            case 24:
                return {&rec.Repeat};
            default:
                return rec.HeaderField(pos);
        }
    }
};

}  // namespace lazrine::palm
