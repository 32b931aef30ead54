#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/export/ExportRecord.h"
#include "common/export/ExportSink.h"
#include "common/export/ICalLibrary.h"
#include "platform/LocalClock.h"

namespace lazrine::exporting {

// Writes appointments (VEVENT) and tasks (VTODO) as one iCalendar object
// (RFC 5545), built and serialised component by component with libical,
// which escapes and folds the text. The calendar is streamed: Begin writes
// its head, each Write one component, End its close. libical is loaded when
// the first writer is made (ICalLibrary); where it cannot be, the writer
// writes nothing: Begin, WriteEvent and WriteTask fail (ICalLibrary::Get
// says why).
//
// Times. A timed appointment that does not repeat starts and ends at UTC
// instants. A repeating timed appointment is written in the local time zone
// (TZID, with the zone's VTIMEZONE in the head) so that it keeps its local
// time across daylight-saving changes, as Palm Desktop shows it; when the
// zone has no name libical knows, it is written in UTC instead. The
// VTIMEZONE is named plainly ("Europe/Berlin") and states the zone's current
// rules only: one STANDARD and one DAYLIGHT part, each with a yearly RRULE
// without UNTIL. Untimed appointments and due dates are dates (VALUE=DATE)
// of the local calendar; an appointment without a start time is untimed on
// the day of its end, and one without any day is left out (see Notes).
//
// Texts. Line breaks are written as \n, other control characters left out.
//
// Tasks. Palm's priorities 1 to 5 become 1, 3, 5, 7 and 9; a completed task
// has STATUS:COMPLETED and, where the record keeps the date, COMPLETED; a
// repeating task with a due date starts (DTSTART) on it and repeats as an
// appointment does; its alarm rings on the due day (TRIGGER;RELATED=END).
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

    // Writes the head; `withZone`: with the zone's VTIMEZONE, which only
    // repeating timed appointments refer to (see UsesZone).
    bool Begin(bool withZone = true);
    // Writes the appointment, or (true) leaves out one without any date,
    // which iCalendar cannot hold, and notes that it did (Notes).
    bool WriteEvent(const ExportEvent& event);
    bool WriteTask(const ExportTask& task);
    bool End();

    // Whether the appointment is written in the local zone (TZID).
    static bool UsesZone(const ExportEvent& event);
    // One line for each record left out, for the user.
    const std::vector<std::string>& Notes() const { return m_Notes; }

private:
    // Serialises `component` to the sink and frees it.
    bool WriteComponent(icalcomponent* component);
    // A local date and time as a property value: in the zone (TZID) when
    // `zoned`, else as the UTC instant it names.
    icalproperty* LocalTimeProperty(icalproperty* prop, const platform::LocalClock::Fields& local, bool zoned) const;

    // The repeat rule and exception dates of a component starting at
    // `start` (a date when `allDay`; local time in the zone when `zoned`).
    void AddRepeat(icalcomponent* c, const palm::PmRepeatRule& rule, const platform::LocalClock::Fields& start,
                   bool allDay, bool zoned) const;
    // A display alarm `offsetSeconds` from the start, or from the end (DUE)
    // when `fromEnd`.
    void AddAlarm(icalcomponent* c, const std::string& summary, int offsetSeconds, bool fromEnd) const;

    // Makes the zone from `rules`, named `tzid`; leaves none when it cannot.
    void UseRules(const platform::LocalClock::ZoneRules& rules, const std::string& tzid);

    struct FreeZone {
        const ICalLibrary* ical;
        void operator()(icaltimezone* zone) const { ical->icaltimezone_free(zone, 1); }
    };

    ExportSink& m_sink;
    std::string m_szZone;
    std::int64_t m_nStamp;
    const ICalLibrary* m_pIcal;  // nullptr when libical could not be loaded
    std::unique_ptr<icaltimezone, FreeZone> m_ownZone;  // a zone made from rules
    icaltimezone* m_pZone = nullptr;  // m_ownZone, or libical's where no rules could be stated
    std::vector<std::string> m_Notes;
};

}  // namespace lazrine::exporting
