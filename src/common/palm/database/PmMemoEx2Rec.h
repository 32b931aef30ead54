#pragma once

#include <cstdint>
#include <string>

namespace lazrine::palm {

// A row of the "Main" table of a Palm Desktop 6 memo database. The note is
// kept whole and lossless (UTF-8), so that the row can always be found again
// by its record id and note; a NULL note in the database reads as empty.
struct PmMemoEx2Rec {
    std::uint32_t nRecordId = 0;
    std::uint32_t nStatus = 0;
    std::int32_t nPlacement = 0;
    std::uint8_t nPrivate = 0;
    std::int32_t nCategoryId = 0;  // its name is the store's (PmDBEx2Util::CategoryName)
    // The status the row held when it was loaded: a write checks that the
    // row still holds it.
    std::uint32_t nLoadedStatus = 0;
    std::string szNote;
};

}  // namespace lazrine::palm
