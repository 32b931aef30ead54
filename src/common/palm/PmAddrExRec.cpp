#include "common/palm/PmAddrExRec.h"

namespace lazrine::palm {

PmFieldRef PmAddrExRec::Field(PmAddrExRec& rec, std::size_t pos) {
    if (pos < kHeaderFieldCount) {
        return rec.HeaderField(pos);
    }
    if (pos >= 19 && pos <= 25) {
        return {&rec.aPhones[pos - 19]};
    }
    if (pos >= 26 && pos <= 32) {
        return {&rec.aPhoneLabels[pos - 26]};
    }
    if (pos >= 33 && pos <= 41) {
        return {&rec.aCustom[pos - 33]};
    }
    if (pos >= 43 && pos <= 47) {
        return {&rec.WorkAddress.Part(pos - 43)};
    }
    if (pos >= 49 && pos <= 53) {
        return {&rec.HomeAddress.Part(pos - 49)};
    }
    if (pos >= 55 && pos <= 59) {
        return {&rec.OtherAddress.Part(pos - 55)};
    }
    switch (pos) {
        case 13:
            return {rec.bSwapName ? &rec.szLastName : &rec.szFirstName};
        case 14:
            return {rec.bSwapName ? &rec.szFirstName : &rec.szLastName};
        case 15:
            return {&rec.szTitle};
        case 16:
            return {&rec.szCompany};
        case 17:
            return {&rec.nExtraC};
        case 18:
            return {&rec.szNote};
        case 42:
            return {&rec.nExtraD};
        case 48:
            return {&rec.nExtraE};
        case 54:
            return {&rec.nExtraF};
        case 60:
            return {&rec.szChat1};
        case 61:
            return {&rec.szChat2};
        case 62:
            return {&rec.nExtraG};
        case 63:
            return {&rec.nExtraH};
        case 64:
            return {&rec.szWebPage};
        case 65:
            return {&rec.qBirthday};
        case 66:
            return {&rec.nExtraI, PM_FIELD_BOOLEAN};
        case 67:
            return {&rec.nExtraJ};
        case 68:
            return {&rec.nExtraK};
        case 69:
            return {&rec.szExtraC};
        case 70:
            return {&rec.szExtraD};
        case 71:
            return {&rec.szExtraE};
        case 72:
            return {&rec.szExtraF};
        default:
            return {};
    }
}

}  // namespace lazrine::palm
