#include "common/palm/PmRepeatRule.h"

namespace lazrine::palm {

const char* PmRepeatRule::ClassNameOf(std::uint32_t kind) {
    static constexpr const char* kNames[] = {"",          "CDayName",    "CWeekly",   "CDayOfMonth",
                                             "CDateOfMonth", "CDateOfYear", "CDayOfYear"};
    return kind <= kLastKnownKind ? kNames[kind] : "";
}

}  // namespace lazrine::palm
