#include "common/palm/PmAddrUtil.h"

namespace lazrine::palm {

const PmClassicFileFormat& PmAddrUtil::Format() {
    static const PmClassicFileFormat format{
        kVersionTag,
        PmSchema{74, 30, 0, 1, 2, {1, 1, 1, 5, 5, 5, 5, 1, 5, 1, 5, 1, 5, 1, 5, 1, 5, 5, 5, 5, 5, 5, 5, 6, 1, 5, 5, 5, 5, 1}},
        "address\\",
        "address.dat",
        0xFFFF,
        true,
    };
    return format;
}

}  // namespace lazrine::palm
