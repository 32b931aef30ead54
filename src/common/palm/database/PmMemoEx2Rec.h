#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lazrine::palm {

// A row of the "Main" table of a Palm Desktop 6 memo database. Texts are
// kept whole and lossless (UTF-8); a NULL text is kept apart from an empty
// one so that the row can be found again by its key.
struct PmMemoEx2Rec {
    std::uint32_t nRecordId = 0;
    std::uint32_t nStatus = 0;
    std::uint32_t nPlacement = 0;
    std::uint8_t nPrivate = 0;
    std::string szCategory;
    std::string szNote;
    bool bNoteNull = false;
    std::vector<std::uint8_t> blob;
};

}  // namespace lazrine::palm
