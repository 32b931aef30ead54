#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace lazrine::palm {

// How a column of the address table is read and written.
enum PmAddrColumnKind : std::uint8_t {
    PM_COL_INT,          // a number
    PM_COL_INT_AS_TEXT,  // a number, written as its decimal text
    PM_COL_FLAG,         // a Yes/No flag
    PM_COL_TEXT,         // a text, kept whole (UTF-8)
};

// One column of the address table "Main": its name, kind, and whether a
// comparison of two versions of a contact looks at it.
struct PmAddrColumn {
    const char* szName;
    PmAddrColumnKind nKind;
    bool bCompared;
};

// A row of the "Main" table of a Palm Desktop 6 address database: the 95
// columns the store reads, described by one column table (Columns()) and
// held by kind, each column in its slot of the numbers, the flags or the
// texts. Texts are whole and lossless (UTF-8); NULL reads as 0, false or the
// empty text.
struct PmAddrEx2Rec {
    enum Column : std::size_t {
        kRecordId = 0,
        kStatus = 1,
        kPlacement = 2,
        kPrivate = 3,
        kCategory = 4,
        kNote = 5,
        kPrefix = 6,
        kFirstName = 7,
        kMiddleName = 8,
        kLastName = 9,
        kSuffix = 10,
        kNickName = 11,
        kAnniversary = 12,  // seconds since 1970 (UTC), 0 none
        kBirthday = 13,
        kProfession = 14,
        kCompany = 15,
        kJobTitle = 16,
        kAssistant = 17,
        kAssistantPhone = 18,
        kWorkStreet = 19,   // street, city, state, zip, country
        kHomeStreet = 24,
        kOtherStreet = 29,
        kWorkPhone = 34,    // the seven phone slots: 34..40
        kOtherFax = 41,
        kOtherMobile = 42,
        kWorkEmail = 43,
        kEmail1 = 44,       // E-mail 1..3: 44..46
        kPager = 47,
        kCustom1 = 48,      // Custom 1..4: 48..51
        kPhoneLabel1 = 53,  // Phone Label1..7: 53..59
        kChat1 = 63,
        kChat2 = 64,
        kChat1Label = 65,
        kChat2Label = 66,
        kWebsite = 67,
        kCustom5 = 68,      // Custom 5..14: 68..77
        kEnglishName = 86,
    };
    static constexpr std::size_t kColumnCount = 95;
    static constexpr std::size_t kPhoneSlots = 7;

    static const std::array<PmAddrColumn, kColumnCount>& Columns();
    // Where column `index` is held within the array of its kind.
    static std::size_t SlotOf(std::size_t index);
    static constexpr std::size_t kNumberCount = 22;
    static constexpr std::size_t kFlagCount = 3;
    static constexpr std::size_t kTextCount = 70;

    std::array<std::int32_t, kNumberCount> aNumbers{};
    std::array<std::uint8_t, kFlagCount> aFlags{};
    std::array<std::string, kTextCount> aTexts{};
    // The status the row held when it was loaded: a write checks that the
    // row still holds it.
    std::uint32_t nLoadedStatus = 0;

    // The value of a column of the given kind (numbers also for
    // PM_COL_INT_AS_TEXT).
    std::int32_t& Number(std::size_t index) { return aNumbers[SlotOf(index)]; }
    std::int32_t Number(std::size_t index) const { return aNumbers[SlotOf(index)]; }
    std::uint8_t& Flag(std::size_t index) { return aFlags[SlotOf(index)]; }
    std::uint8_t Flag(std::size_t index) const { return aFlags[SlotOf(index)]; }
    std::string& Text(std::size_t index) { return aTexts[SlotOf(index)]; }
    const std::string& Text(std::size_t index) const { return aTexts[SlotOf(index)]; }

    std::uint32_t RecordId() const { return static_cast<std::uint32_t>(Number(kRecordId)); }
    std::uint32_t Status() const { return static_cast<std::uint32_t>(Number(kStatus)); }
};

}  // namespace lazrine::palm
