#include "common/misc/CommTaskMgr.h"

#include <array>

#include "common/misc/CxDateTime.h"

namespace lazrine::misc {

std::uint32_t CommTaskRec::PriorityOf(std::uint32_t stored) {
    switch (stored) {
        case 1:
            return 1;
        case 5:
            return 2;
        default:
            return 0;
    }
}

std::span<const CommFieldInfo> CommTaskMgr::FieldTable() const {
    // "Private" stands before "Alarm"; lookups go by key. "Category" and
    // "Palm Priority" (the five-step priority that "Priority" folds into
    // three) came last and stay after the older names, so their order is
    // kept.
    static const std::array<CommFieldInfo, 9> table{{
        {kSubject, "Subject", 256},
        {kNote, "Note", 8192},
        {kPriority, "Priority", 4},
        {kCompleted, "Completed", 4},
        {kDueDate, "DueDate", 4},
        {kPrivate, "Private", 4},
        {kAlarm, "Alarm", 4},
        {kCategory, "Category", 64},
        {kPalmPriority, "Palm Priority", 4},
    }};
    return table;
}

bool CommTaskMgr::DueDateOf(std::uint32_t dueDate, CxDateTime::Fields& date) {
    if (dueDate == 0) {
        return false;
    }
    CxDateTime time;
    if (!time.SetUnixTime(static_cast<std::int64_t>(dueDate))) {
        return false;
    }
    const CxDateTime::Fields& f = time.GetTimeFields();
    if (f.wYear > 2031 || (f.wYear == 2031 && f.wMonth == 12 && f.wDay == 31)) {
        return false;
    }
    date = f;
    return true;
}

std::string CommTaskMgr::DueDateText(std::uint32_t dueDate) {
    CxDateTime::Fields date;
    if (!DueDateOf(dueDate, date)) {
        return "N/A";
    }
    CxDateTime time;
    time.SetSystemTime(date);
    return time.FormatDate();
}

std::string CommTaskMgr::FieldText(const CommTaskRec& rec, std::uint32_t key, bool whole) const {
    switch (key) {
        case kSubject:
            return std::string(whole ? rec.szSubject : rec.szSubject.substr(0, CommTaskRec::kSubjectMax));
        case kNote:
            return std::string(whole ? rec.szNote : rec.szNote.substr(0, CommTaskRec::kNoteMax));
        case kPriority:
            return rec.nPriority == 1 ? "High" : rec.nPriority == 2 ? "Low" : "Normal";
        case kCompleted:
            return rec.bCompleted != 0 ? "Yes" : "No";
        case kDueDate:
            return DueDateText(rec.nDueDate);
        case kAlarm:
            return rec.bAlarm != 0 ? "Yes" : "No";
        case kPrivate:
            return rec.bPrivate != 0 ? "Yes" : "No";
        case kCategory:
            return std::string(rec.szCategory);
        case kPalmPriority:
            return rec.nPalmPriority == 0 ? std::string{} : std::to_string(rec.nPalmPriority);
        default:
            return {};
    }
}

}  // namespace lazrine::misc
