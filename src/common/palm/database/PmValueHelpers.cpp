#include "common/palm/database/PmValueHelpers.h"

#include <limits>
#include <utility>

namespace lazrine::palm {

bool PmSetInt(std::int32_t n, PmVariant* value) {
    if (value == nullptr) {
        return false;
    }
    *value = PmVariant{};
    value->vt = VT_I4;
    value->lVal = n;
    return true;
}

bool PmSetBool(std::uint8_t flag, PmVariant* value) {
    if (value == nullptr) {
        return false;
    }
    *value = PmVariant{};
    value->vt = VT_BOOL;
    value->boolVal = static_cast<std::int16_t>(flag);
    return true;
}

bool PmSetText(std::string_view utf8, PmVariant* value) {
    if (value == nullptr) {
        return false;
    }
    *value = PmVariant{};
    value->vt = VT_BSTR;
    value->bBstrNull = utf8.empty();
    value->bstrVal.assign(utf8);
    return true;
}

bool PmSetIntAsText(std::int32_t n, PmVariant* value) {
    if (value == nullptr) {
        return false;
    }
    *value = PmVariant{};
    value->vt = VT_BSTR;
    value->bBstrNull = false;
    value->bstrVal = std::to_string(n);
    return true;
}

bool PmGetInt(const PmVariant* value, std::int32_t& n) {
    if (value == nullptr) {
        return false;
    }
    if (value->vt == VT_I4) {
        n = value->lVal;
        return true;
    }
    if (value->vt != VT_BSTR || value->bBstrNull) {
        return false;
    }
    const std::string& s = value->bstrVal;
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    std::int64_t acc = 0;
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        acc = acc * 10 + (s[i] - '0');
        if (acc > kLimit) {
            acc = kLimit;
        }
    }
    if (negative) {
        acc = -acc;
    } else if (acc == kLimit) {
        acc = kLimit - 1;
    }
    n = static_cast<std::int32_t>(acc);
    return true;
}

bool PmGetUInt(const PmVariant* value, std::uint32_t& n) {
    if (value == nullptr) {
        return false;
    }
    if (value->vt == VT_I4) {
        n = static_cast<std::uint32_t>(value->lVal);
        return true;
    }
    if (value->vt != VT_BSTR || value->bBstrNull) {
        return false;
    }
    const std::string& s = value->bstrVal;
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
        ++i;
    }
    if (i < s.size() && s[i] == '+') {
        ++i;
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t acc = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        acc = acc * 10 + static_cast<std::uint64_t>(s[i] - '0');
        if (acc > kMax) {
            acc = kMax;
        }
    }
    n = static_cast<std::uint32_t>(acc);
    return true;
}

bool PmGetFlag(const PmVariant* value, std::uint8_t& flag) {
    if (value == nullptr || (value->vt != VT_BOOL && value->vt != VT_I4)) {
        return false;
    }
    flag = (value->vt == VT_BOOL ? value->boolVal != 0 : value->lVal != 0) ? 1 : 0;
    return true;
}

bool PmGetBool(const PmVariant* value, std::uint8_t& flag) {
    if (value == nullptr || value->vt != VT_BOOL) {
        return false;
    }
    flag = value->boolVal != 0 ? 1 : 0;
    return true;
}

bool PmGetText(const PmVariant* value, std::string& utf8) {
    if (value == nullptr || value->vt != VT_BSTR) {
        return false;
    }
    if (value->bBstrNull) {
        utf8.clear();
    } else {
        utf8 = value->bstrVal;
    }
    return true;
}

bool PmTakeText(PmVariant* value, std::string& utf8) {
    if (value == nullptr || value->vt != VT_BSTR) {
        return false;
    }
    if (value->bBstrNull) {
        utf8.clear();
    } else {
        utf8 = std::move(value->bstrVal);
    }
    return true;
}

}  // namespace lazrine::palm
