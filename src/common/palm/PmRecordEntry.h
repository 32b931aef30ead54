#pragma once

#include <cstddef>
#include <cstdint>

#include "common/palm/PmTypes.h"

namespace lazrine::palm {

// One display entry of a record set: which store generation the record came
// from, a copy of its status word and id, and the position of the native
// record in that store's container (through which an undelete reaches the
// record the store will save). The native record itself stays in its store,
// once: an entry does not duplicate its texts. The position takes 32 bits,
// as every generation counts its records (an entry is 16 bytes, held once
// per record).
struct PmRecordEntry {
    PmStoreKind nKind = PM_STORE_NONE;
    std::uint32_t nStatus = 0;
    std::uint32_t nRecordId = 0;
    std::uint32_t nNative = 0;
};

}  // namespace lazrine::palm
