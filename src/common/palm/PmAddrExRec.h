#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/palm/PmFileText.h"

#include "common/palm/PmExRecordHeader.h"
#include "common/palm/PmPostalAddress.h"

namespace lazrine::palm {

// A contact of the extended address file: the common header (0..12), then
// positions 13 to 72. Every text is kept whole, however long, and written
// back byte for byte.
//
// Positions 13 and 14 hold the first and the last name, or the other way
// round when the file was read with the name swap setting; `bSwapName`
// records which, so that a record is always written back to the positions
// it came from.
struct PmAddrExRec : PmExRecordHeader {
    static constexpr std::size_t kFieldCount = 73;
    static constexpr std::size_t kPhoneCount = 7;
    static constexpr std::size_t kCustomCount = 9;

    bool bSwapName = false;
    PmFileText szFirstName;
    PmFileText szLastName;
    PmFileText szTitle;
    PmFileText szCompany;
    std::uint32_t nExtraC = 0;
    PmFileText szNote;
    std::array<PmFileText, kPhoneCount> aPhones{};
    std::array<std::uint32_t, kPhoneCount> aPhoneLabels{};
    std::array<PmFileText, kCustomCount> aCustom{};
    std::uint32_t nExtraD = 0;
    PmPostalAddress WorkAddress;
    std::uint32_t nExtraE = 0;
    PmPostalAddress HomeAddress;
    std::uint32_t nExtraF = 0;
    PmPostalAddress OtherAddress;
    PmFileText szChat1;
    PmFileText szChat2;
    std::uint32_t nExtraG = 0;
    std::uint32_t nExtraH = 0;
    PmFileText szWebPage;
    PmQuad qBirthday{};
    std::uint32_t nExtraI = 0;
    std::uint32_t nExtraJ = 0;
    std::uint32_t nExtraK = 0;
    PmFileText szExtraC;
    PmFileText szExtraD;
    PmFileText szExtraE;
    PmFileText szExtraF;

    static PmFieldRef Field(PmAddrExRec& rec, std::size_t pos);
};

}  // namespace lazrine::palm
