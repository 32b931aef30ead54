#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

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

    // Files one phone text under the member its label names (0 work, 1 home,
    // 2 fax, 3 other, 4 e-mail, 5 main, 7 mobile; 6 and every other value
    // are not filed). An empty text files nothing, so that it never hides an
    // earlier phone of the same label; otherwise the text replaces what the
    // member held, and the last phone of a label wins. Every store
    // generation files its phones, in record order, through this one rule.
    // The record refers to `text`, which must outlive it.
    void FilePhone(std::int64_t label, const std::string& text);
    void FilePhone(std::int64_t label, std::string&& text) = delete;
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
    };
    // A window cell shows at most this many characters of a field.
    static constexpr std::size_t kCellMax = 4095;

    std::span<const CommFieldInfo> FieldTable() const override;

protected:
    std::string FieldText(const CommAddrRec& rec, std::uint32_t key, bool whole) const override;
};

}  // namespace lazrine::misc
