#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/palm/PmFileText.h"

#include "common/palm/PmFieldRef.h"
#include "common/palm/PmPostalAddress.h"

namespace lazrine::palm {

// A contact of the classic address file: 30 positions, each phone label
// right before its phone text. Every text is kept whole. Position 3 holds
// the last name and position 4 the first name, the other way round when the
// file was read with the name swap setting (`bSwapName`, so that a record is
// written back to the positions it came from). `szCategory` is the
// category's name, filled while reading and never written.
struct PmAddrRec {
    static constexpr std::size_t kFieldCount = 30;
    static constexpr int kCategoryPos = 24;
    static constexpr std::size_t kPhoneCount = 5;
    static constexpr std::size_t kCustomCount = 4;

    bool bSwapName = false;
    std::uint32_t nRecordId = 0;
    std::uint32_t nStatus = 0;
    std::uint32_t nPlacement = 0;
    PmFileText szLastName;
    PmFileText szFirstName;
    PmFileText szTitle;
    PmFileText szCompany;
    std::array<std::uint32_t, kPhoneCount> aPhoneLabels{};
    std::array<PmFileText, kPhoneCount> aPhones{};
    PmPostalAddress Address;
    PmFileText szNote;
    std::uint32_t nPrivate = 0;
    std::uint32_t nCategoryId = 0;
    std::array<PmFileText, kCustomCount> aCustom{};
    std::uint32_t nExtraC = 0;
    std::string_view szCategory;

    static PmFieldRef Field(PmAddrRec& rec, std::size_t pos);
};

}  // namespace lazrine::palm
