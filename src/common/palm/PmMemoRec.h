#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/palm/PmFieldRef.h"

namespace lazrine::palm {

// A memo of the classic memo file. The private flag (position 4) is written
// with the Boolean tag, every other number with tag 1; the text is kept whole.
struct PmMemoRec {
    static constexpr std::size_t kFieldCount = 6;

    std::uint32_t nRecordId = 0;
    std::uint32_t nStatus = 0;
    std::uint32_t nPlacement = 0;
    std::string_view szMemo;
    std::uint32_t nPrivate = 0;
    std::uint32_t nCategoryId = 0;
    std::string_view szCategory;  // the name the file gives nCategoryId, filled while reading; not written
    static constexpr int kCategoryPos = 5;  // where nCategoryId is read

    static PmFieldRef Field(PmMemoRec& rec, std::size_t pos) {
        switch (pos) {
            case 0:
                return {&rec.nRecordId};
            case 1:
                return {&rec.nStatus};
            case 2:
                return {&rec.nPlacement};
            case 3:
                return {&rec.szMemo};
            case 4:
                return {&rec.nPrivate, PM_FIELD_BOOLEAN};
            case 5:
                return {&rec.nCategoryId};
            default:
                return {};
        }
    }
};

}  // namespace lazrine::palm
