#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/misc/CommRecordMgr.h"
#include "common/misc/CxDateTime.h"

namespace lazrine::misc {

// The common task record. Its texts refer to the whole texts of the native
// record in the store that loaded it (see CommRecord), so a task's texts
// are held once; the display limits (a subject of 254 characters, a note of
// 8,190) apply only to what a list shows.
struct CommTaskRec : CommRecord {
    static constexpr std::size_t kSubjectMax = 254;
    static constexpr std::size_t kNoteMax = 8190;

    std::string_view szSubject;
    std::string_view szNote;
    std::uint32_t nPriority = 0;  // 0 normal, 1 high, 2 low
    // Palm's own priority, 1 (highest) to 5, as stored; 0 when the record
    // stores none of those.
    std::uint32_t nPalmPriority = 0;
    std::uint8_t bCompleted = 0;
    std::uint32_t nDueDate = 0;  // seconds since 1970-01-01 00:00:00 UTC
    std::uint8_t bAlarm = 0;
    std::uint8_t bPrivate = 0;
    std::string_view szCategory;  // the category's whole name; empty when uncategorised

    // Stored priority 1 is high, 5 low, every other value normal.
    static std::uint32_t PriorityOf(std::uint32_t stored);
    // The stored priority when it is one of Palm's five, else 0.
    static std::uint32_t PalmPriorityOf(std::int64_t stored) {
        return stored >= 1 && stored <= 5 ? static_cast<std::uint32_t>(stored) : 0;
    }
};

class CommTaskMgr : public CommRecordMgr<CommTaskRec> {
public:
    enum Key : std::uint32_t {
        kSubject = 0,
        kNote = 1,
        kPriority = 2,
        kCompleted = 3,
        kDueDate = 4,
        kAlarm = 5,
        kPrivate = 6,
        kCategory = 7,
        kPalmPriority = 8,
    };

    std::span<const CommFieldInfo> FieldTable() const override;

    // "%02d/%02d/%04d" (month, day, year) of the local date of a stored due
    // date, read as unsigned seconds since 1970; "N/A" for 0, for a value
    // without a local date and for Palm's "no due date" mark (a local date
    // of 31 December 2031 or later).
    static std::string DueDateText(std::uint32_t dueDate);
    // The local calendar date of a stored due date; false, with `date`
    // unchanged, where DueDateText says "N/A".
    static bool DueDateOf(std::uint32_t dueDate, CxDateTime::Fields& date);

protected:
    std::string FieldText(const CommTaskRec& rec, std::uint32_t key, bool whole) const override;
};

}  // namespace lazrine::misc
