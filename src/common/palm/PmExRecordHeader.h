#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/palm/PmFieldRef.h"
#include "common/palm/PmTypes.h"

namespace lazrine::palm {

// Positions 0 to 12, the part every extended record of every kind begins
// with: record id (0), status (2), category id (5), private flag (6), four
// binary fields (7..10, kept as the file held them) and two short texts (11, 12). All numbers are written
// with tag 1. `szCategory` is the category's name, filled while reading and
// never written.
struct PmExRecordHeader {
    static constexpr std::size_t kHeaderFieldCount = 13;
    static constexpr int kCategoryPos = 5;

    std::uint32_t nRecordId = 0;
    std::uint32_t nExtraA = 0;
    std::uint32_t nStatus = 0;
    std::uint32_t nExtraB = 0;
    std::uint32_t nPlacement = 0;
    std::uint32_t nCategoryId = 0;
    std::uint32_t nPrivate = 0;
    PmBlobBytes blobs;  // positions 7 to 10
    PmFileText szExtraA;
    PmFileText szExtraB;
    std::string_view szCategory;

    // The header field at `pos` (0..12), or an empty ref.
    PmFieldRef HeaderField(std::size_t pos);
};

}  // namespace lazrine::palm
