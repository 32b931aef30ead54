#include "common/palm/PmAddrRec.h"

namespace lazrine::palm {

PmFieldRef PmAddrRec::Field(PmAddrRec& rec, std::size_t pos) {
    if (pos >= 7 && pos <= 16) {
        const std::size_t phone = (pos - 7) / 2;
        if ((pos - 7) % 2 == 0) {
            return {&rec.aPhoneLabels[phone]};
        }
        return {&rec.aPhones[phone]};
    }
    if (pos >= 17 && pos <= 21) {
        return {&rec.Address.Part(pos - 17)};
    }
    if (pos >= 25 && pos <= 28) {
        return {&rec.aCustom[pos - 25]};
    }
    switch (pos) {
        case 0:
            return {&rec.nRecordId};
        case 1:
            return {&rec.nStatus};
        case 2:
            return {&rec.nPlacement};
        case 3:
            return {rec.bSwapName ? &rec.szFirstName : &rec.szLastName};
        case 4:
            return {rec.bSwapName ? &rec.szLastName : &rec.szFirstName};
        case 5:
            return {&rec.szTitle};
        case 6:
            return {&rec.szCompany};
        case 22:
            return {&rec.szNote};
        case 23:
            return {&rec.nPrivate, PM_FIELD_BOOLEAN};
        case 24:
            return {&rec.nCategoryId};
        case 29:
            return {&rec.nExtraC};
        default:
            return {};
    }
}

}  // namespace lazrine::palm
