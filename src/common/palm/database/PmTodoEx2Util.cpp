#include "common/palm/database/PmTodoEx2Util.h"

#include "common/palm/database/PmValueHelpers.h"

namespace lazrine::palm {
namespace {

enum TodoColumn : std::size_t {
    kRecordId = 0,
    kStatus = 1,
    kPlacement = 2,
    kPrivate = 3,
    kCategory = 4,
    kNote = 5,
    kDescription = 6,
    kDueDate = 7,
    kCompleted = 8,
    kPriority = 9,
    kRepeatOnCompleteDate = 10,
    kCompleteDate = 11,
    kAlarmSet = 12,
    kAlarmTime = 13,
    kAlarmAdvance = 14,
    kRepeatStartDate = 15,
    kRepeatInfo = 16,
};

}  // namespace

const PmDbTable& PmTodoEx2Util::Table() {
    static const PmDbTable table{
        PmKind::kTasks,
        {"Record ID",  "Status",         "Placement",  "Private",   "Category",
         "Note",       "Description",    "Due Date",   "Completed", "Priority",
         "Repeat On Complete Date",      "Complete Date",           "Alarm Set",
         "Alarm Time", "Alarm Advance",  "Repeat Start Date",       "Repeat Info"},
        // The Record ID finds the row; the description and the due date as
        // loaded confirm it is still the same task.
        {"Description", "Due Date"},
    };
    return table;
}

void PmTodoEx2Util::ReadRow(PmValues& values, PmTodoEx2Rec& rec) {
    const auto signedOf = [&values](std::size_t i, std::int32_t& out) { PmGetInt(&values[i], out); };
    const auto unsignedOf = [&values](std::size_t i, std::uint32_t& out) { PmGetUInt(&values[i], out); };
    const auto flagOf = [&values](std::size_t i, std::uint8_t& out) { PmGetFlag(&values[i], out); };
    const auto textOf = [&values](std::size_t i, std::string& out) { PmTakeText(&values[i], out); };
    unsignedOf(kRecordId, rec.nRecordId);
    unsignedOf(kStatus, rec.nStatus);
    signedOf(kPlacement, rec.nPlacement);
    flagOf(kPrivate, rec.nPrivate);
    signedOf(kCategory, rec.nCategoryId);
    textOf(kNote, rec.szNote);
    textOf(kDescription, rec.szDescription);
    unsignedOf(kDueDate, rec.nDueDate);
    rec.szDueDateText = StatusKeyText(values[kDueDate]);
    flagOf(kCompleted, rec.nCompleted);
    signedOf(kPriority, rec.nPriority);
    flagOf(kRepeatOnCompleteDate, rec.nRepeatOnCompleteDate);
    unsignedOf(kCompleteDate, rec.nCompleteDate);
    flagOf(kAlarmSet, rec.nAlarmSet);
    unsignedOf(kAlarmTime, rec.nAlarmTime);
    signedOf(kAlarmAdvance, rec.nAlarmAdvance);
    unsignedOf(kRepeatStartDate, rec.nRepeatStartDate);
    textOf(kRepeatInfo, rec.szRepeatInfo);
    rec.nLoadedStatus = rec.nStatus;
}

}  // namespace lazrine::palm
