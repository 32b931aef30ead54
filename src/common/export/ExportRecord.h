#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/misc/CommAddrMgr.h"
#include "common/palm/PmRepeatRule.h"

namespace lazrine::exporting {

// What an export writes of one record of each kind: the common record's
// values and what only the native record holds (repeat rules, exception
// dates, categories, custom field labels), every text whole and in UTF-8.
// One such view is made at a time, so an export of any length holds a
// single record's copy beside the record set.

struct ExportEvent {
    std::uint32_t nId = 0;
    std::string szUid;  // see ExportSource::Uid
    std::string szSummary;
    std::string szNote;
    std::string szLocation;
    std::string szCategory;
    bool bPrivate = false;
    bool bAllDay = false;
    bool bAlarm = false;
    // The alarm's advance in minutes before the start, when the record
    // stores one (the database, the classic file); -1 when it does not.
    std::int64_t nAlarmMinutes = -1;
    std::uint32_t nStart = 0;  // seconds since 1970-01-01 00:00:00 UTC
    std::uint32_t nEnd = 0;
    palm::PmRepeatRule Repeat;  // kind 0: no repeat
};

struct ExportTask {
    std::uint32_t nId = 0;
    std::string szUid;  // see ExportSource::Uid
    std::string szSummary;
    std::string szNote;
    std::string szCategory;
    bool bPrivate = false;
    bool bCompleted = false;
    std::uint32_t nPriority = 0;  // 0 normal, 1 high, 2 low
    // Palm's own priority, 1 (highest) to 5; 0 when the record stores none
    // in that range.
    std::uint32_t nPalmPriority = 0;
    std::uint32_t nDueDate = 0;   // as stored; see CommTaskMgr::DueDateOf
    // When the task was completed (seconds since 1970, UTC), where the
    // record stores it (the database); 0 when it does not.
    std::uint32_t nCompletedAt = 0;
    bool bAlarm = false;
    palm::PmRepeatRule Repeat;  // kind 0: no repeat (extended files)
};

struct ExportAddress {
    std::string szStreet;
    std::string szCity;
    std::string szState;
    std::string szPostal;
    std::string szCountry;
};

// The common contact record's texts, converted to UTF-8 (the common record
// only refers to the stored texts, which may be in the file's code page).
struct ExportContact {
    std::uint32_t nId = 0;
    std::string szUid;  // see ExportSource::Uid
    std::string szFirstName;
    std::string szLastName;
    ExportAddress Work;
    ExportAddress Home;
    ExportAddress Other;
    std::string szHomePhone;
    std::string szWorkPhone;
    std::string szMobilePhone;
    std::string szMainPhone;
    std::string szOtherPhone;
    std::string szEmail;
    std::string szFax;
    std::string szPager;
    std::string szCompany;
    std::string szTitle;
    std::string szHomePage;
    std::string szNote;
    std::array<std::string, misc::CommAddrRec::kCustomCount> aCustom{};
    std::string szCategory;
    // The label of each custom field, as the file names it or, where the
    // file names none, "Custom 1" to "Custom 9".
    std::array<std::string, misc::CommAddrRec::kCustomCount> aCustomLabels{};
};

struct ExportMemo {
    std::uint32_t nId = 0;
    std::string szUid;  // see ExportSource::Uid
    std::string szText;
    std::string szCategory;
    bool bPrivate = false;
};

}  // namespace lazrine::exporting
