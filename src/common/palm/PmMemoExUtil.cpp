#include "common/palm/PmMemoExUtil.h"

namespace lazrine::palm {

const PmExFileFormat& PmMemoExUtil::Format() {
    static const PmExFileFormat format{
        kVersionTag,
        PmSchema{64, 14, 0, 2, 4, {1, 1, 1, 1, 1, 1, 6, 64, 65, 66, 67, 5, 5, 5}},
        "memopad\\",
        "memopad.dat",
    };
    return format;
}

}  // namespace lazrine::palm
