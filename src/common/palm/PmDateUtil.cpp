#include "common/palm/PmDateUtil.h"

namespace lazrine::palm {

const PmClassicFileFormat& PmDateUtil::Format() {
    static const PmClassicFileFormat format{
        kVersionTag,
        PmSchema{54, 15, 0, 1, 2, {1, 1, 1, 3, 1, 5, 1, 5, 6, 6, 1, 6, 1, 1, 8}},
        "datebook\\",
        "datebook.dat",
        // A CString holds at most 65,535 characters.
        0xFFFF,
        // A schema counting more fields than an appointment has fails.
        true,
    };
    return format;
}

}  // namespace lazrine::palm
