#include "common/misc/CommDateMgr.h"

#include <array>

namespace lazrine::misc {
namespace {

std::string Cut(std::string_view text, bool whole, std::size_t max) {
    return std::string(whole ? text : text.substr(0, max));
}

const char* YesNo(std::uint32_t flag) { return flag != 0 ? "Yes" : "No"; }

CxDateTime TimeOf(const CxDateTime::Fields& fields) {
    CxDateTime t;
    t.SetSystemTime(fields);
    return t;
}

}  // namespace

std::span<const CommFieldInfo> CommDateMgr::FieldTable() const {
    static const std::array<CommFieldInfo, 13> table{{
        {kDescription, "Description", 256},
        {kStartTime, "Start Time", 32},
        {kEndTime, "End Time", 32},
        {kStartDateTime, "Start Date Time", 32},
        {kEndDateTime, "End Date Time", 32},
        {kDate, "Date", 32},
        {kNote, "Note", 4096},
        {kPrivate, "Private", 8},
        {kLocation, "Location", 256},
        {kImportance, "Importance", 8},
        {kCategory, "Category", 32},
        {kAlarm, "Alarm", 8},
        {kAllDayEvent, "All Day Event", 8},
    }};
    return table;
}

std::string CommDateMgr::FieldText(const CommDateRec& rec, std::uint32_t key, bool whole) const {
    switch (key) {
        case kDescription:
            return Cut(rec.szDescription, whole, CommDateRec::kDescriptionMax);
        case kStartTime:
            return TimeOf(rec.stStart).FormatTime();
        case kEndTime:
            return TimeOf(rec.stEnd).FormatTime();
        case kStartDateTime:
            return TimeOf(rec.stStart).FormatDateTime();
        case kEndDateTime:
            return TimeOf(rec.stEnd).FormatDateTime();
        case kDate:
            return TimeOf(rec.stStart).FormatDate();
        case kNote:
            return Cut(rec.szNote, whole, CommDateRec::kNoteMax);
        case kPrivate:
            return YesNo(rec.nPrivate);
        case kLocation:
            return Cut(rec.szLocation, whole, CommDateRec::kLocationMax);
        case kAlarm:
            return YesNo(rec.nAlarm);
        case kAllDayEvent:
            return YesNo(rec.nAllDay);
        case kCategory:
            return std::string(rec.szCategory);
        default:
            return {};
    }
}

}  // namespace lazrine::misc
