#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/palm/PmFieldRef.h"

namespace lazrine::palm {

// A task of the classic to-do file. The due date (4) is written with the
// date tag, the completed (5) and private (7) flags with the Boolean tag,
// every other number with tag 1; texts are kept whole. The classic task has
// no alarm, no repeat rule and no category name.
struct PmTodoRec {
    static constexpr std::size_t kFieldCount = 10;

    std::uint32_t nRecordId = 0;
    std::uint32_t nStatus = 0;
    std::uint32_t nPlacement = 0;
    std::string_view szDescription;
    std::uint32_t nDueDate = 0;
    std::uint32_t nCompleted = 0;
    std::uint32_t nPriority = 0;
    std::uint32_t nPrivate = 0;
    std::uint32_t nCategoryId = 0;
    std::string_view szCategory;  // the name the file gives nCategoryId, filled while reading; not written
    static constexpr int kCategoryPos = 8;  // where nCategoryId is read
    std::string_view szNote;

    static PmFieldRef Field(PmTodoRec& rec, std::size_t pos) {
        switch (pos) {
            case 0:
                return {&rec.nRecordId};
            case 1:
                return {&rec.nStatus};
            case 2:
                return {&rec.nPlacement};
            case 3:
                return {&rec.szDescription};
            case 4:
                return {&rec.nDueDate, PM_FIELD_DATE};
            case 5:
                return {&rec.nCompleted, PM_FIELD_BOOLEAN};
            case 6:
                return {&rec.nPriority};
            case 7:
                return {&rec.nPrivate, PM_FIELD_BOOLEAN};
            case 8:
                return {&rec.nCategoryId};
            case 9:
                return {&rec.szNote};
            default:
                return {};
        }
    }
};

}  // namespace lazrine::palm
