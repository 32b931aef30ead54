#pragma once

#include <string>
#include <string_view>

#include "platform/LocalClock.h"

namespace lazrine::exporting {

// The VTIMEZONE component (RFC 5545) of a zone given as yearly rules, for a
// system that keeps its zone so (Windows) and has no zone database libical
// could take the zone's history from. It states the rules from 1601 on, the
// way Windows applies them: a STANDARD and a DAYLIGHT part, each repeating
// yearly on its month's nth (or last) weekday, or one STANDARD part for a
// zone without daylight saving.
class VTimezoneText {
public:
    // The component as text with CR LF line ends, named `tzid`; empty when
    // the rules hold a value out of range or `tzid` is no plain name.
    static std::string Build(const platform::LocalClock::ZoneRules& rules, std::string_view tzid);
};

}  // namespace lazrine::exporting
