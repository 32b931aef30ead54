#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lazrine::palm {

// The repeat rule that to-do and date book records carry in their repeat
// field (tag 8). Kinds: 0 none, 1 "CDayName" (daily), 2 "CWeekly", 3
// "CDayOfMonth" (monthly by day), 4 "CDateOfMonth" (monthly by date), 5
// "CDateOfYear" (yearly by date), 6 "CDayOfYear" (yearly by day). Members a
// kind does not use stay 0.
//
// Besides the rule, the field's stored form is kept so that a save writes
// back what was read: the exception dates, whether the rule's class was
// declared in full ("CWeekly" ...) or referred to by a class reference, and
// the declared class name. A kind above 6, whose values the format does not
// name, keeps its header and its declaration and is written back as read.
struct PmRepeatRule {
    static constexpr std::uint16_t kNoRule = 0;
    static constexpr std::uint16_t kNewClass = 0xFFFF;
    static constexpr std::uint32_t kLastKnownKind = 6;

    std::uint32_t nRuleKind = 0;
    std::uint32_t nInterval = 0;
    std::uint32_t nEndDate = 0;
    std::uint32_t nExtra = 0;
    std::uint32_t nDayIndex = 0;
    std::uint8_t nDayMask = 0;
    std::uint32_t nWeekIndex = 0;
    std::uint32_t nMonth = 0;
    std::uint32_t nDayOfMonth = 0;

    // Dates on which a repeating record does not occur, in stored order.
    std::vector<std::uint32_t> aExceptions;
    // The class marker as read: 0 (no rule), 0xFFFF (a declaration follows)
    // or a class reference. A rule made in memory leaves it 0 and is written
    // with a full declaration.
    std::uint16_t nClassMarker = kNoRule;
    // The class name of a declaration as read; empty means the name of the
    // kind.
    std::string szClassName;

    // "CDayName" ... "CDayOfYear" for kinds 1 to 6, else empty.
    static const char* ClassNameOf(std::uint32_t kind);

    bool operator==(const PmRepeatRule&) const = default;
};

}  // namespace lazrine::palm
