#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lazrine::palm {

// The records of the four built-in handheld applications, decoded from a
// record's bytes in a Palm OS database (see PmPdbFile): Memo Pad ("memo"),
// To Do ("todo"), Date Book ("date") and Address ("addr"). Texts are the
// stored bytes (Windows-1252 on most handhelds), each kept whole.
//
// Every decoder takes untrusted bytes: it fails, leaving a reason, when the
// record is shorter than its fixed part or a flagged part is missing; a text
// without its terminating zero ends at the end of the record.
class PmHandheldRecords {
public:
    // A date as the handheld packs it: years since 1904 (7 bits), month
    // (4 bits), day (5 bits); 0xFFFF for none.
    static constexpr std::uint16_t kNoDate = 0xFFFF;
    static int Year(std::uint16_t date) { return 1904 + (date >> 9); }
    static int Month(std::uint16_t date) { return (date >> 5) & 0x0F; }
    static int Day(std::uint16_t date) { return date & 0x1F; }

    struct Memo {
        std::string szText;
    };

    struct Todo {
        std::uint16_t nDueDate = kNoDate;
        bool bCompleted = false;
        std::uint8_t nPriority = 0;  // 1 (highest) to 5
        std::string szDescription;
        std::string szNote;
    };

    struct Event {
        static constexpr std::uint8_t kNoTime = 0xFF;
        enum Flag : std::uint8_t {
            kAlarm = 0x40,
            kRepeat = 0x20,
            kNote = 0x10,
            kExceptions = 0x08,
            kDescription = 0x04,
        };
        enum Repeat : std::uint8_t { kNone, kDaily, kWeekly, kMonthlyByDay, kMonthlyByDate, kYearly };

        std::uint8_t nStartHour = kNoTime;  // kNoTime: an untimed event
        std::uint8_t nStartMinute = kNoTime;
        std::uint8_t nEndHour = kNoTime;
        std::uint8_t nEndMinute = kNoTime;
        std::uint16_t nDate = kNoDate;
        std::uint8_t nFlags = 0;
        std::int8_t nAlarmAdvance = 0;
        std::uint8_t nAlarmUnit = 0;  // 0 minutes, 1 hours, 2 days
        std::uint8_t nRepeatType = kNone;
        std::uint16_t nRepeatEnd = kNoDate;
        std::uint8_t nRepeatFrequency = 0;
        std::uint8_t nRepeatOn = 0;  // days of the week, or the week of the month
        std::uint8_t nRepeatStartOfWeek = 0;
        std::vector<std::uint16_t> exceptions;
        std::string szDescription;
        std::string szNote;

        bool IsUntimed() const { return nStartHour == kNoTime; }
    };

    struct Contact {
        // The fields in the order the record stores them.
        enum Field : std::size_t {
            kLastName, kFirstName, kCompany, kPhone1, kPhone2, kPhone3, kPhone4, kPhone5, kAddress, kCity,
            kState, kZip, kCountry, kTitle, kCustom1, kCustom2, kCustom3, kCustom4, kNote, kFieldCount
        };
        static constexpr std::size_t kPhoneCount = 5;

        // Which label each phone shows (0 work, 1 home, 2 fax, 3 other,
        // 4 e-mail, 5 main, 6 pager, 7 mobile) and which phone the list shows.
        std::array<std::uint8_t, kPhoneCount> phoneLabels{};
        std::uint8_t nDisplayPhone = 0;
        std::array<std::string, kFieldCount> fields;
    };

    static bool DecodeMemo(std::span<const std::uint8_t> data, Memo& out, std::string& error);
    static bool DecodeTodo(std::span<const std::uint8_t> data, Todo& out, std::string& error);
    static bool DecodeEvent(std::span<const std::uint8_t> data, Event& out, std::string& error);
    static bool DecodeContact(std::span<const std::uint8_t> data, Contact& out, std::string& error);
};

}  // namespace lazrine::palm
