#pragma once

#include <string>
#include <string_view>

#include "platform/LocalClock.h"

namespace lazrine::exporting {

// The VTIMEZONE component (RFC 5545) of a zone given as yearly rules: the
// system's own on Windows, or a zone's current rules taken from libical's
// zone data. It states the rules from 1601 on, the way Windows applies
// them: a STANDARD and a DAYLIGHT part, each repeating yearly on its month's
// nth (or last) weekday, without UNTIL, or one STANDARD part for a zone
// without daylight saving. Readers that refuse a zone's whole history
// (python-icalendar 4) read it.
class VTimezoneText {
public:
    // The component as text with CR LF line ends, named `tzid`; empty when
    // the rules hold a value out of range or `tzid` is no plain name.
    static std::string Build(const platform::LocalClock::ZoneRules& rules, std::string_view tzid);
};

}  // namespace lazrine::exporting
