#pragma once

#include <cstdint>
#include <string>

namespace lazrine::palm {

// A row of the "Main" table of a Palm Desktop 6 to-do database. Texts are
// kept whole and lossless (UTF-8); NULL reads as empty. Dates are stored
// 32-bit values (seconds since 1970), read as unsigned. The Due Date
// column's text as loaded is kept too, since that is what finds the row
// again, whatever the column holds (a number, NULL or another text).
struct PmTodoEx2Rec {
    std::uint32_t nRecordId = 0;
    std::uint32_t nStatus = 0;
    std::int32_t nPlacement = 0;
    std::uint8_t nPrivate = 0;
    std::int32_t nCategoryId = 0;
    std::string szNote;
    std::uint32_t nDueDate = 0;
    std::string szDueDateText;
    std::string szDescription;
    std::uint8_t nCompleted = 0;
    std::int32_t nPriority = 0;
    std::uint8_t nRepeatOnCompleteDate = 0;
    std::uint32_t nCompleteDate = 0;
    std::uint8_t nAlarmSet = 0;
    std::uint32_t nAlarmTime = 0;
    std::int32_t nAlarmAdvance = 0;
    std::uint32_t nRepeatStartDate = 0;
    std::string szRepeatInfo;
    // The status word as it was loaded, before any undelete changed it.
    std::uint32_t nLoadedStatus = 0;
};

}  // namespace lazrine::palm
