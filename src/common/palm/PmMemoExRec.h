#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/palm/PmExRecordHeader.h"

namespace lazrine::palm {

// A memo of the extended memo file: the common header and the memo text at
// position 13, kept whole.
struct PmMemoExRec : PmExRecordHeader {
    static constexpr std::size_t kFieldCount = 14;

    std::string_view szMemo;

    static PmFieldRef Field(PmMemoExRec& rec, std::size_t pos) {
        return pos == 13 ? PmFieldRef{&rec.szMemo} : rec.HeaderField(pos);
    }
};

}  // namespace lazrine::palm
