#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

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

// One phone or e-mail of a contact: Palm's label (as CommPhone's; it picks
// the vCard type), the label's name as Palm shows it, and the text.
struct ExportPhone {
    std::int64_t nLabel = 0;
    std::string szLabel;
    std::string szText;
    bool bWork = false;  // an e-mail of the work place (the database's "Work E-mail")
};

// Every text of a contact, converted to UTF-8 (the common record only refers
// to the stored texts, which may be in the file's code page).
struct ExportContact {
    static constexpr std::size_t kCustomCount = 14;

    std::uint32_t nId = 0;
    std::string szUid;  // see ExportSource::Uid
    std::string szPrefix;
    std::string szFirstName;
    std::string szMiddleName;
    std::string szLastName;
    std::string szSuffix;
    std::string szNickName;
    // How the names are read aloud, where the record says (a Japanese
    // handheld keeps the reading after a 0x01 in the name's field).
    std::string szFirstNameReading;
    std::string szLastNameReading;
    std::string szCompanyReading;
    ExportAddress Work;
    ExportAddress Home;
    ExportAddress Other;
    // Every non-empty phone and e-mail: the record's slots in their order,
    // then the database's own phone and e-mail columns.
    std::vector<ExportPhone> Phones;
    std::string szCompany;
    std::string szTitle;
    std::string szProfession;
    std::string szAssistant;
    std::string szHomePage;
    std::string szNote;
    std::array<std::string, 2> aChats{};
    std::array<std::int64_t, 2> aChatLabels{-1, -1};  // as CommAddrRec's
    std::string szBirthday;  // "YYYY-MM-DD", or empty
    std::string szAnniversary;
    bool bPrivate = false;
    std::array<std::string, kCustomCount> aCustom{};
    // The category's name; empty when the record has none (Unfiled).
    std::string szCategory;
    // The label of each custom field, as the file names it or, where the
    // file names none, "Custom 1" to "Custom 14".
    std::array<std::string, kCustomCount> aCustomLabels{};
};

struct ExportMemo {
    std::uint32_t nId = 0;
    std::string szUid;  // see ExportSource::Uid
    std::string szText;
    std::string szCategory;
    bool bPrivate = false;
};

}  // namespace lazrine::exporting
