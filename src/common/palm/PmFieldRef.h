#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "common/palm/PmFileText.h"
#include "common/palm/PmRepeatRule.h"
#include "common/palm/PmTypes.h"

namespace lazrine::palm {

// Where one record field of a given position lives in a native record, and
// which tag the writer gives a numeric field. A record type describes its
// file layout with a function `static PmFieldRef Field(Rec&, std::size_t pos)`
// and the constant `kFieldCount`; the codecs read and write every kind from
// that description alone. An empty target means the position holds no field.
// A PmBlobBytes target holds several binary fields: reading appends the next
// one, so they are read in order; writing writes the one at `nIndex`.
// A `std::string_view` target is set to the text inside the bytes the codec
// read, without a copy: it stays valid while those bytes are held (a record
// store keeps them for as long as it keeps its records). A PmFileText target
// is the same text in half the room (see PmFileText).
struct PmFieldRef {
    std::variant<std::monostate, std::uint32_t*, std::string*, std::string_view*, PmFileText*, PmBlobField*, PmQuad*,
                 PmRepeatRule*, PmBlobBytes*>
        target;
    std::uint32_t nWriteTag = PM_FIELD_INTEGER;
    std::uint32_t nIndex = 0;
};

}  // namespace lazrine::palm
