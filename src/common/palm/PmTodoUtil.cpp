#include "common/palm/PmTodoUtil.h"

namespace lazrine::palm {

const PmClassicFileFormat& PmTodoUtil::Format() {
    static const PmClassicFileFormat format{
        kVersionTag,
        PmSchema{44, 10, 0, 1, 2, {1, 1, 1, 5, 3, 6, 1, 6, 1, 5}},
        "todo\\",
        "todo.dat",
    };
    return format;
}

}  // namespace lazrine::palm
