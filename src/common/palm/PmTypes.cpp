#include "common/palm/PmTypes.h"

namespace lazrine::palm {

const char* PmStoreKindName(PmStoreKind kind) {
    switch (kind) {
        case PM_STORE_CLASSIC:
            return "classic";
        case PM_STORE_EXTENDED:
            return "extended";
        case PM_STORE_DATABASE:
            return "database";
        case PM_STORE_FAILED:
            return "failed";
        case PM_STORE_NONE:
            break;
    }
    return "none";
}

}  // namespace lazrine::palm
