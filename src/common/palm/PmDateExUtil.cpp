#include "common/palm/PmDateExUtil.h"

namespace lazrine::palm {

const PmExFileFormat& PmDateExUtil::Format() {
    static const PmExFileFormat format{
        kVersionTag,
        PmSchema{54, 27, 0, 2, 4, {1, 1, 1, 1, 1, 1, 6, 64, 65, 66, 67, 5, 5, 3, 3, 5, 1, 5, 6, 6, 1, 1, 8, 5, 1, 5, 5}},
        "datebook\\",
        "datebook.dat",
    };
    return format;
}

}  // namespace lazrine::palm
