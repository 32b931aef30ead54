#include "common/palm/PmTodoExUtil.h"

namespace lazrine::palm {

const PmExFileFormat& PmTodoExUtil::Format() {
    static const PmExFileFormat format{
        kVersionTag,
        PmSchema{44, 25, 0, 2, 4, {1, 1, 1, 1, 1, 1, 6, 64, 65, 66, 67, 5, 5, 5, 3, 6, 1, 5, 6, 3, 6, 3, 1, 3, 8}},
        "todo\\",
        "todo.dat",
    };
    return format;
}

}  // namespace lazrine::palm
