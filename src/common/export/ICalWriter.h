#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <libical/ical.h>

#include "common/export/ExportRecord.h"
#include "common/export/ExportSink.h"
#include "platform/LocalClock.h"

namespace lazrine::exporting {

// Writes appointments (VEVENT) and tasks (VTODO) as one iCalendar object
// (RFC 5545), built and serialised component by component with libical,
// which escapes and folds the text. The calendar is streamed: Begin writes
// its head, each Write one component, End its close.
//
// Times. A timed appointment that does not repeat starts and ends at UTC
// instants. A repeating timed appointment is written in the local time zone
// (TZID, with the zone's VTIMEZONE in the head) so that it keeps its local
// time across daylight-saving changes, as Palm Desktop shows it; when the
// zone has no name libical knows, it is written in UTC instead. Untimed
// appointments and due dates are dates (VALUE=DATE) of the local calendar.
//
// Repeats. Every rule kind becomes an RRULE: daily, weekly on the stored
// days, monthly on the stored week (the fifth standing for the last) and day
// of the week, monthly by date, yearly by date and yearly by the start's week
// and day; the repeat end becomes UNTIL (the end of that local day), every
// exception date an EXDATE at the start's time of day. Palm's "no end" marks
// (0, 0xFFFFFFFF, or 31 December 2031 and later) give no UNTIL.
class ICalWriter {
public:
    // `zone` names the local time zone ("Europe/Berlin"); empty: the
    // system's, as LocalClock::ZoneName gives it. `stamp` is DTSTAMP
    // (seconds since 1970, UTC); 0: now.
    // When libical knows no zone of that name and the system keeps its zone
    // as yearly rules (Windows), the zone is written from those rules.
    explicit ICalWriter(ExportSink& sink, std::string zone = {}, std::int64_t stamp = 0);
    // The local time zone given as yearly rules, named `tzid` ("Europe/Berlin"
    // or the system's own name); UTC when they cannot be stated.
    ICalWriter(ExportSink& sink, const platform::LocalClock::ZoneRules& rules, std::string tzid,
               std::int64_t stamp = 0);
    ~ICalWriter();
    ICalWriter(const ICalWriter&) = delete;
    ICalWriter& operator=(const ICalWriter&) = delete;

    bool Begin();
    bool WriteEvent(const ExportEvent& event);
    bool WriteTask(const ExportTask& task);
    bool End();

private:
    // Serialises `component` to the sink and frees it.
    bool WriteComponent(icalcomponent* component);
    // A local date and time as a property value: in the zone (TZID) when
    // `zoned`, else as the UTC instant it names.
    icalproperty* LocalTimeProperty(icalproperty* prop, const platform::LocalClock::Fields& local, bool zoned) const;

    // Makes the zone from `rules`, named `tzid`; leaves none when it cannot.
    void UseRules(const platform::LocalClock::ZoneRules& rules, const std::string& tzid);

    struct FreeZone {
        void operator()(icaltimezone* zone) const { icaltimezone_free(zone, 1); }
    };

    ExportSink& m_sink;
    std::string m_szZone;
    std::int64_t m_nStamp;
    std::unique_ptr<icaltimezone, FreeZone> m_ownZone;  // a zone made from rules
    icaltimezone* m_pZone = nullptr;  // libical's, or m_ownZone
};

}  // namespace lazrine::exporting
