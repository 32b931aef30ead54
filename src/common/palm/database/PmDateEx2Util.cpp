#include "common/palm/database/PmDateEx2Util.h"

#include "common/palm/database/PmValueHelpers.h"

namespace lazrine::palm {
namespace {

enum DateColumn : std::size_t {
    kRecordId = 0,
    kStatus,
    kPlacement,
    kPrivate,
    kCategory,
    kNote,
    kStartTime,
    kEndTime,
    kUntimed,
    kTimeZone,
    kLocation,
    kSummary,
    kAlarm,
    kAlarmAdvance,
    kAlarmUnit,
    kRepeatedEvent,
};

// A flag column: Yes/No in Palm's databases, a number in some others.
void FlagOf(const PmVariant& value, std::uint8_t& flag) {
    if (value.vt == VT_I4) {
        flag = (value.lVal & 0xFFFF) != 0 ? 1 : 0;
    } else {
        PmGetBool(&value, flag);
    }
}

// A date column: the unsigned number, and its text exactly as stored.
void DateOf(const PmVariant& value, std::uint32_t& number, std::string& text) {
    PmGetUInt(&value, number);
    if (value.vt == VT_BSTR) {
        PmGetText(&value, text);
    } else if (value.vt == VT_I4) {
        text = std::to_string(value.lVal);
    }
}

void ValueToField(PmVariant& value, std::size_t index, PmDateEx2Rec& rec) {
    std::int32_t n = 0;
    switch (index) {
        case kRecordId:
            if (PmGetInt(&value, n)) {
                rec.nRecordId = static_cast<std::uint32_t>(n);
            }
            break;
        case kStatus:
            if (PmGetInt(&value, n)) {
                rec.nStatus = static_cast<std::uint32_t>(n);
            }
            break;
        case kPlacement:
            PmGetInt(&value, rec.nPlacement);
            break;
        case kPrivate:
            FlagOf(value, rec.nPrivate);
            break;
        case kCategory:
            PmGetInt(&value, rec.nCategoryId);
            break;
        case kNote:
            PmTakeText(&value, rec.szNote);
            break;
        case kStartTime:
            DateOf(value, rec.nStartTime, rec.szStartTime);
            break;
        case kEndTime:
            DateOf(value, rec.nEndTime, rec.szEndTime);
            break;
        case kUntimed:
            FlagOf(value, rec.nUntimed);
            break;
        case kTimeZone:
            PmTakeText(&value, rec.szTimeZone);
            break;
        case kLocation:
            PmTakeText(&value, rec.szLocation);
            break;
        case kSummary:
            PmTakeText(&value, rec.szSummary);
            break;
        case kAlarm:
            FlagOf(value, rec.nAlarm);
            break;
        case kAlarmAdvance:
            PmGetInt(&value, rec.nAlarmAdvance);
            break;
        case kAlarmUnit:
            PmGetInt(&value, rec.nAlarmUnit);
            break;
        case kRepeatedEvent:
            PmTakeText(&value, rec.szRepeatedEvent);
            break;
        default:
            break;
    }
}

}  // namespace

const PmDbTable& PmDateEx2Util::Table() {
    static const PmDbTable table{
        PmKind::kCalendar,
        {"Record ID", "Status", "Placement", "Private", "Category", "Note", "Start Time", "End Time", "Untimed",
         "Time Zone", "Location", "Summary", "Alarm", "Alarm Advance", "Alarm Unit", "Repeated Event"},
        {"Start Time", "End Time", "Summary"},
    };
    return table;
}

void PmDateEx2Util::ReadRow(PmValues& values, PmDateEx2Rec& rec) {
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        ValueToField(values[i], i, rec);
    }
}

}  // namespace lazrine::palm
