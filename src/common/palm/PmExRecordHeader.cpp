#include "common/palm/PmExRecordHeader.h"

namespace lazrine::palm {

PmFieldRef PmExRecordHeader::HeaderField(std::size_t pos) {
    switch (pos) {
        case 0:
            return {&nRecordId};
        case 1:
            return {&nExtraA};
        case 2:
            return {&nStatus};
        case 3:
            return {&nExtraB};
        case 4:
            return {&nPlacement};
        case 5:
            return {&nCategoryId};
        case 6:
            return {&nPrivate};
        case 7:
        case 8:
        case 9:
        case 10:
            return {&blobs, PM_FIELD_INTEGER, static_cast<std::uint32_t>(pos - 7)};
        case 11:
            return {&szExtraA};
        case 12:
            return {&szExtraB};
        default:
            return {};
    }
}

}  // namespace lazrine::palm
