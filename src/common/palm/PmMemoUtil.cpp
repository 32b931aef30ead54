#include "common/palm/PmMemoUtil.h"

namespace lazrine::palm {

const PmClassicFileFormat& PmMemoUtil::Format() {
    static const PmClassicFileFormat format{
        kVersionTag,
        PmSchema{64, 6, 0, 1, 2, {1, 1, 1, 5, 6, 1}},
        "memopad\\",
        "memopad.dat",
    };
    return format;
}

}  // namespace lazrine::palm
