#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/misc/CommRecordMgr.h"

namespace lazrine::misc {

// One postal address of the common contact record.
struct CommAddress {
    std::string_view szStreet;
    std::string_view szCity;
    std::string_view szState;
    std::string_view szPostal;
    std::string_view szCountry;
};

// One phone slot of a contact: Palm's label (0 work, 1 home, 2 fax, 3 other,
// 4 e-mail, 5 main, 6 pager, 7 mobile; any other value is kept as stored)
// and the text.
struct CommPhone {
    std::int64_t nLabel = 0;
    std::string_view szText;
};

// The common contact record. Its texts refer to the whole texts of the
// native record in the store that loaded it (see CommRecord), however long
// they are: the display cuts, the data never does.
struct CommAddrRec : CommRecord {
    static constexpr std::size_t kCustomCount = 9;

    std::string_view szFirstName;
    std::string_view szLastName;
    CommAddress Work;
    CommAddress Home;
    CommAddress Other;
    std::string_view szHomePhone;
    std::string_view szWorkPhone;
    std::string_view szMobilePhone;
    std::string_view szMainPhone;
    std::string_view szOtherPhone;
    std::string_view szEmail;
    std::string_view szFax;
    std::string_view szPager;
    std::string_view szCompany;
    std::string_view szTitle;
    std::string_view szHomePage;
    std::string_view szNote;
    std::array<std::string_view, kCustomCount> aCustom{};
    std::string_view szCategory;
    double dCreationTime = 0;
    double dModificationTime = 0;

    // What the single fields above cannot hold: every phone slot in record
    // order (5 in a classic file, 7 otherwise; empty slots included, so that
    // slot n stays "Phone n"), and the texts only some stores have.
    static constexpr std::size_t kMoreCustomCount = 5;  // Custom 10..14 (database)
    std::vector<CommPhone> Phones;
    std::string_view szPrefix;
    std::string_view szMiddleName;
    std::string_view szSuffix;
    std::string_view szNickName;
    std::string_view szProfession;
    std::string_view szAssistant;
    std::string_view szAssistantPhone;
    std::string_view szOtherFax;
    std::string_view szOtherMobile;
    std::string_view szWorkEmail;
    std::array<std::string_view, 3> aEmails{};  // E-mail 1..3
    std::array<std::string_view, 2> aChats{};
    // The chat labels (0 IM, 1 AIM, 2 MSN, 3 Yahoo, 4 AOL ICQ); -1 none stored.
    std::array<std::int64_t, 2> aChatLabels{-1, -1};
    std::array<std::string_view, kMoreCustomCount> aMoreCustom{};
    // Dates as seconds since 1970-01-01 UTC (the day's start); 0 is none.
    std::int64_t nBirthday = 0;
    std::int64_t nAnniversary = 0;
    bool bPrivate = false;

    // Palm's name of a phone label ("Work", ..., "Mobile"); the number for
    // any other value.
    static std::string PhoneLabelName(std::int64_t label);
    // Palm's name of a chat label; empty for -1, the number for others.
    static std::string ChatLabelName(std::int64_t label);
    // "YYYY-MM-DD" of a date in seconds since 1970 (UTC); empty for 0 and
    // for dates outside years 1 to 9999.
    static std::string DateText(std::int64_t seconds);

    // Appends one phone slot to `Phones` (empty ones too) and files its text
    // under the single member its label names (0 work, 1 home, 2 fax,
    // 3 other, 4 e-mail, 5 main, 6 pager, 7 mobile; other values are not
    // filed). An empty text files nothing, so that it never hides an earlier
    // phone of the same label; otherwise the text replaces what the member
    // held: the single member shows the last phone of a label, `Phones` all
    // of them. Every store generation files its phones, in record order,
    // through this one rule. The record refers to `text`, which must outlive
    // it.
    void FilePhone(std::int64_t label, const std::string& text) { FilePhone(label, std::string_view(text)); }
    void FilePhone(std::int64_t label, std::string&& text) = delete;
    // The same for a text held elsewhere, such as the loaded file's bytes.
    void FilePhone(std::int64_t label, std::string_view text);
};

class CommAddrMgr : public CommRecordMgr<CommAddrRec> {
public:
    enum Key : std::uint32_t {
        kFirstName = 1,
        kLastName = 2,
        kWorkStreet = 3,   // 3..7: street, city, state, postal, country
        kHomeStreet = 8,   // 8..12
        kOtherStreet = 13, // 13..17
        kHomePhone = 18,
        kWorkPhone = 19,
        kMobilePhone = 20,
        kOtherPhone = 21,
        kMainPhone = 22,
        kFax = 23,
        kPager = 24,
        kEmail = 25,
        kHomePage = 26,
        kNote = 27,
        kCustom1 = 28,  // 28..36
        kCompany = 37,
        kTitle = 38,
        kCategory = 39,
        kCreationTime = 40,
        kModificationTime = 41,
        kSource = 42,
        kDisplayName = 43,
        kAccount = 44,
        // Appended after the fields above; see FieldTable for their order.
        kPrefix = 45,
        kMiddleName = 46,
        kSuffix = 47,
        kNickName = 48,
        kProfession = 49,
        kAssistant = 50,
        kAssistantPhone = 51,
        kPhone1 = 52,       // 52..58: Phone 1..7
        kPhone1Label = 59,  // 59..65: Phone 1..7 Label
        kOtherFax = 66,
        kOtherMobile = 67,
        kWorkEmail = 68,
        kEmail1 = 69,       // 69..71
        kChat1 = 72,
        kChat1Label = 73,
        kChat2 = 74,
        kChat2Label = 75,
        kBirthday = 76,
        kAnniversary = 77,
        kCustom10 = 78,     // 78..82
        kPrivate = 83,
    };
    static constexpr std::size_t kPhoneFields = 7;
    // A window cell shows at most this many characters of a field.
    static constexpr std::size_t kCellMax = 4095;

    std::span<const CommFieldInfo> FieldTable() const override;

protected:
    std::string FieldText(const CommAddrRec& rec, std::uint32_t key, bool whole) const override;
};

}  // namespace lazrine::misc
