#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/misc/CommRecordMgr.h"
#include "common/misc/CxDateTime.h"

namespace lazrine::misc {

// The common calendar record. Its texts refer to the native record's texts
// (see CommRecord), whole; the window's texts cut the description and the
// location to 255 characters and the note to 8,191.
// Start and end are local calendar fields; a value without a local time
// leaves them all zero (shown as 00/00/0000 and 00:00:00).
struct CommDateRec : CommRecord {
    static constexpr std::size_t kDescriptionMax = 255;
    static constexpr std::size_t kLocationMax = 255;
    static constexpr std::size_t kNoteMax = 8191;

    std::string_view szDescription;
    std::uint32_t nAllDay = 0;
    CxDateTime::Fields stStart;
    CxDateTime::Fields stEnd;
    std::uint32_t nAlarm = 0;
    std::string_view szNote;
    std::string_view szLocation;
    std::uint32_t nPrivate = 0;
    std::string_view szCategory;  // the category's whole name; empty when uncategorised
};

class CommDateMgr : public CommRecordMgr<CommDateRec> {
public:
    enum Key : std::uint32_t {
        kDescription = 1,
        kStartTime = 2,
        kEndTime = 3,
        kStartDateTime = 4,
        kEndDateTime = 5,
        kDate = 6,
        kNote = 7,
        kPrivate = 8,
        kLocation = 9,
        kImportance = 10,
        kCategory = 11,
        kAlarm = 12,
        kAllDayEvent = 13,
    };

    std::span<const CommFieldInfo> FieldTable() const override;

protected:
    std::string FieldText(const CommDateRec& rec, std::uint32_t key, bool whole) const override;
};

}  // namespace lazrine::misc
