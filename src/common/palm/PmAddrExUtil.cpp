#include "common/palm/PmAddrExUtil.h"

namespace lazrine::palm {

const PmExFileFormat& PmAddrExUtil::Format() {
    static const PmExFileFormat format{
        kVersionTag,
        PmSchema{74,
                 73,
                 0,
                 2,
                 4,
                 {1, 1, 1, 1, 1, 1, 6, 64, 65, 66, 67, 5, 5,           // 0..12
                  5, 5, 5, 5, 1, 5, 5, 5, 5, 5, 5, 5, 5,               // 13..25
                  1, 1, 1, 1, 1, 1, 1, 5, 5, 5, 5, 5, 5, 5, 5, 5,      // 26..41
                  1, 5, 5, 5, 5, 5, 1, 5, 5, 5, 5, 5, 1,               // 42..54
                  5, 5, 5, 5, 5, 5, 5, 1, 1, 5, 68, 6, 1, 1, 5, 5, 5, 5}},  // 55..72
        "address\\",
        "address.dat",
        11,
        true,
        42,
        1,
    };
    return format;
}

}  // namespace lazrine::palm
