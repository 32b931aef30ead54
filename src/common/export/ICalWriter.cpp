#include "common/export/ICalWriter.h"

#include "common/export/VTimezoneText.h"

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string_view>
#include <vector>

#include "common/misc/CommTaskMgr.h"
#include "common/misc/CxDateTime.h"
#include "common/palm/PmTime.h"
#include "platform/LocalClock.h"

namespace lazrine::exporting {
namespace {

using platform::LocalClock;

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The local calendar fields of a stored time; false for Palm's "no time"
// mark and for a value without a local time.
bool LocalOf(std::uint32_t stored, LocalClock::Fields& out) {
    return stored != palm::PmTime::kNoTime && LocalClock::ToLocal(static_cast<std::int64_t>(stored), out);
}

Date DateOf(const LocalClock::Fields& f) { return {f.year, f.month, f.day}; }

Date AddDays(const Date& d, std::int64_t days) {
    Date out;
    misc::CxDateTime::CivilFromDays(misc::CxDateTime::DaysFromCivil(d.year, d.month, d.day) + days, out.year,
                                    out.month, out.day);
    return out;
}

std::int64_t DayNumber(const Date& d) { return misc::CxDateTime::DaysFromCivil(d.year, d.month, d.day); }

icaltimetype IcalDate(const ICalLibrary& ical, const Date& d) {
    icaltimetype t = ical.icaltime_null_date();
    t.year = d.year;
    t.month = d.month;
    t.day = d.day;
    return t;
}

icaltimetype IcalUtc(const ICalLibrary& ical, std::int64_t seconds) {
    return ical.icaltime_from_timet_with_zone(static_cast<time_t>(seconds), 0, ical.icaltimezone_get_utc_timezone());
}

// Palm marks an open-ended repeat, like a task without due date, with 0,
// 0xFFFFFFFF or a date of 31 December 2031 or later.
bool RepeatEndOf(std::uint32_t stored, Date& end) {
    LocalClock::Fields f;
    if (stored == 0 || !LocalOf(stored, f)) {
        return false;
    }
    if (f.year > 2031 || (f.year == 2031 && f.month == 12 && f.day == 31)) {
        return false;
    }
    end = DateOf(f);
    return true;
}

// libical's encoding of a BYDAY entry: weekday 1 (Sunday) to 7, position
// 0 (every), 1..5, or negative from the end.
short ByDay(int weekday0, int position) {
    const int day = weekday0 + 1;
    return static_cast<short>(position < 0 ? -(-position * 8 + day) : position * 8 + day);
}

// A text as iCalendar carries it: CR LF and a lone CR become LF (libical
// writes a line break as \n); the other control characters, which a TEXT
// value may not hold (a NUL would even end it early), are left out, tabs
// kept.
std::string Lines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            out += '\n';
        } else if (byte >= 0x20 || text[i] == '\n' || text[i] == '\t') {
            if (byte != 0x7F) {
                out += text[i];
            }
        }
    }
    return out;
}

void AddText(const ICalLibrary& ical, icalcomponent* c, icalproperty* (*make)(const char*), const std::string& text) {
    if (!text.empty()) {
        ical.icalcomponent_add_property(c, make(Lines(text).c_str()));
    }
}

// libical writes CATEGORIES as a list and leaves the commas and semicolons
// of its text unescaped, so that a category named "Trips, long" would be
// read back as two. Such characters are handed to libical as characters of
// Unicode's private use area, which no Palm text holds, and turned into
// their escapes once the component is serialised.
constexpr std::string_view kCommaStandIn = "\xEE\x80\x80";      // U+E000
constexpr std::string_view kSemicolonStandIn = "\xEE\x80\x81";  // U+E001

void AddCategory(const ICalLibrary& ical, icalcomponent* c, const std::string& category) {
    if (category.empty()) {
        return;
    }
    std::string value;
    for (const char ch : Lines(category)) {
        if (ch == ',') {
            value += kCommaStandIn;
        } else if (ch == ';') {
            value += kSemicolonStandIn;
        } else {
            value += ch;
        }
    }
    ical.icalcomponent_add_property(c, ical.icalproperty_new_categories(value.c_str()));
}

void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
}

bool IsUtcName(std::string_view name) {
    for (const char* utc : {"UTC", "Etc/UTC", "GMT", "Etc/GMT", "UCT", "Etc/UCT", "Universal", "Etc/Universal",
                            "Zulu", "Etc/Zulu", "GMT0", "Etc/GMT0"}) {
        if (name == utc) {
            return true;
        }
    }
    return false;
}

// Seconds east of UTC in `zone` at the UTC instant `seconds`.
int OffsetAt(const ICalLibrary& ical, icaltimezone* zone, std::int64_t seconds) {
    icaltimetype t = IcalUtc(ical, seconds);
    int daylight = 0;
    return ical.icaltimezone_get_utc_offset_of_utc_time(zone, &t, &daylight);
}

// The rule of a change that happened at the local time `local` (the time in
// force until then): its month, its weekday and which of the month's such
// weekdays it is, a day in the last seven standing for the last.
LocalClock::ZoneRules::Change ChangeAt(std::int64_t local) {
    std::int64_t days = local / 86400;
    std::int64_t rest = local % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    LocalClock::ZoneRules::Change c;
    int year = 0;
    int day = 0;
    misc::CxDateTime::CivilFromDays(days, year, c.month, day);
    c.dayOfWeek = misc::CxDateTime::DayOfWeek(days);
    c.week = day + 7 > misc::CxDateTime::DaysInMonth(year, c.month) ? 5 : (day - 1) / 7 + 1;
    c.hour = static_cast<int>(rest / 3600);
    c.minute = static_cast<int>(rest / 60 % 60);
    c.second = static_cast<int>(rest % 60);
    return c;
}

// The rules `zone` keeps in `year`, as yearly rules: its offsets and, where
// it changes twice that year, when it changes to daylight-saving time and
// back. The year's rules stand for every year, so the VTIMEZONE written
// from them states the zone as it is now, without its history, which some
// readers (python-icalendar 4) refuse. False for a year with another number
// of changes (a zone that changed its rules or its offset that year).
bool CurrentRules(const ICalLibrary& ical, icaltimezone* zone, int year, LocalClock::ZoneRules& out) {
    const std::int64_t first = misc::CxDateTime::DaysFromCivil(year, 1, 1) * 86400;
    const std::int64_t last = misc::CxDateTime::DaysFromCivil(year + 1, 1, 1) * 86400;
    struct Shift {
        std::int64_t at;  // the first second of the new offset (UTC)
        int from;
        int to;
    };
    std::vector<Shift> shifts;
    int before = OffsetAt(ical, zone, first);
    for (std::int64_t day = first; day < last && shifts.size() <= 2; day += 86400) {
        const int after = OffsetAt(ical, zone, day + 86400);
        if (after == before) {
            continue;
        }
        std::int64_t low = day;  // still `before`
        std::int64_t high = day + 86400;  // already `after`
        while (high - low > 1) {
            const std::int64_t mid = low + (high - low) / 2;
            (OffsetAt(ical, zone, mid) == before ? low : high) = mid;
        }
        shifts.push_back({high, before, after});
        before = after;
    }
    out = LocalClock::ZoneRules{};
    if (shifts.empty()) {
        out.bias = -before / 60;
        return true;
    }
    if (shifts.size() != 2 || shifts[0].from != shifts[1].to || shifts[0].to != shifts[1].from) {
        return false;
    }
    const Shift& toDaylight = shifts[0].to > shifts[0].from ? shifts[0] : shifts[1];
    const Shift& toStandard = shifts[0].to > shifts[0].from ? shifts[1] : shifts[0];
    out.bias = -toStandard.to / 60;
    out.daylightBias = -(toDaylight.to - toStandard.to) / 60;
    out.toDaylight = ChangeAt(toDaylight.at + toDaylight.from);
    out.toStandard = ChangeAt(toStandard.at + toStandard.from);
    return true;
}

int YearOf(std::int64_t seconds) {
    int year = 0;
    int month = 0;
    int day = 0;
    misc::CxDateTime::CivilFromDays(seconds / 86400 - (seconds % 86400 < 0 ? 1 : 0), year, month, day);
    return year;
}

const ICalLibrary* Library() {
    std::string ignored;  // the exporter reports it before a writer is made
    return ICalLibrary::Get(ignored);
}

struct FreeText {
    const ICalLibrary* ical;
    void operator()(char* text) const { ical->icalmemory_free_buffer(text); }
};

}  // namespace

ICalWriter::ICalWriter(ExportSink& sink, std::string zone, std::int64_t stamp)
    : m_sink(sink), m_nStamp(stamp == 0 ? static_cast<std::int64_t>(std::time(nullptr)) : stamp),
      m_pIcal(Library()), m_ownZone(nullptr, FreeZone{m_pIcal}) {
    const bool system = zone.empty();
    m_szZone = system ? LocalClock::ZoneName() : std::move(zone);
    if (m_pIcal == nullptr) {
        return;
    }
    const ICalLibrary& ical = *m_pIcal;
    icaltimezone* known = nullptr;
    if (!m_szZone.empty() && !IsUtcName(m_szZone)) {
        known = ical.icaltimezone_get_builtin_timezone(m_szZone.c_str());
    }
    LocalClock::ZoneRules rules;
    if (known != nullptr) {
        // The zone's current rules, named plainly ("Europe/Berlin"): readers
        // match a TZID to their zone database by that name (calcurse knows
        // no other), and libical's own component would carry a prefixed
        // TZID and every historical change.
        // A zone whose rules changed that year keeps libical's component.
        if (CurrentRules(ical, known, YearOf(m_nStamp), rules)) {
            UseRules(rules, m_szZone);
        } else {
            m_pZone = known;
        }
    } else if (system && LocalClock::SystemZoneRules(rules)) {
        UseRules(rules, m_szZone.empty() ? rules.name : m_szZone);
    }
}

ICalWriter::ICalWriter(ExportSink& sink, const LocalClock::ZoneRules& rules, std::string tzid, std::int64_t stamp)
    : m_sink(sink), m_nStamp(stamp == 0 ? static_cast<std::int64_t>(std::time(nullptr)) : stamp),
      m_pIcal(Library()), m_ownZone(nullptr, FreeZone{m_pIcal}) {
    if (m_pIcal != nullptr) {
        UseRules(rules, tzid);
    }
}

void ICalWriter::UseRules(const LocalClock::ZoneRules& rules, const std::string& tzid) {
    // Rules that keep UTC all year ("Greenwich Standard Time", which Wine
    // reports on a UTC host) are UTC: times are written as on a system in
    // Etc/UTC, and no zone is added that would only restate it.
    const bool noDaylight = (rules.toStandard.month == 0 && rules.toDaylight.month == 0) ||
                            rules.daylightBias == rules.standardBias;
    if (IsUtcName(tzid) || (rules.bias + rules.standardBias == 0 && noDaylight)) {
        return;
    }
    const ICalLibrary& ical = *m_pIcal;
    const std::string text = VTimezoneText::Build(rules, tzid);
    icalcomponent* component = text.empty() ? nullptr : ical.icalparser_parse_string(text.c_str());
    if (component == nullptr) {
        return;
    }
    std::unique_ptr<icaltimezone, FreeZone> zone(ical.icaltimezone_new(), FreeZone{m_pIcal});
    // The zone owns the component only once it has taken it.
    if (zone == nullptr || ical.icalcomponent_isa(component) != ICAL_VTIMEZONE_COMPONENT ||
        ical.icaltimezone_set_component(zone.get(), component) == 0) {
        ical.icalcomponent_free(component);
        return;
    }
    m_szZone = tzid;
    m_ownZone = std::move(zone);
    m_pZone = m_ownZone.get();
}

ICalWriter::~ICalWriter() = default;

void ICalWriter::AddAlarm(icalcomponent* c, const std::string& summary, int offsetSeconds, bool fromEnd) const {
    const ICalLibrary& ical = *m_pIcal;
    icalcomponent* alarm = ical.icalcomponent_new_valarm();
    ical.icalcomponent_add_property(alarm, ical.icalproperty_new_action(ICAL_ACTION_DISPLAY));
    struct icaltriggertype trigger;
    trigger.time = ical.icaltime_null_time();
    trigger.duration = ical.icaldurationtype_from_int(offsetSeconds);
    icalproperty* prop = ical.icalproperty_new_trigger(trigger);
    if (fromEnd) {
        ical.icalproperty_add_parameter(prop, ical.icalparameter_new_related(ICAL_RELATED_END));
    }
    ical.icalcomponent_add_property(alarm, prop);
    ical.icalcomponent_add_property(alarm, ical.icalproperty_new_description(Lines(summary.empty() ? "Reminder" : summary).c_str()));
    ical.icalcomponent_add_component(c, alarm);
}

bool ICalWriter::WriteComponent(icalcomponent* component) {
    const ICalLibrary& ical = *m_pIcal;
    const std::unique_ptr<char, FreeText> text(ical.icalcomponent_as_ical_string_r(component), FreeText{m_pIcal});
    ical.icalcomponent_free(component);
    if (text == nullptr) {
        return false;
    }
    std::string serialised(text.get());
    ReplaceAll(serialised, kCommaStandIn, "\\,");
    ReplaceAll(serialised, kSemicolonStandIn, "\\;");
    return m_sink.Write(serialised);
}

icalproperty* ICalWriter::LocalTimeProperty(icalproperty* prop, const platform::LocalClock::Fields& local,
                                            bool zoned) const {
    const ICalLibrary& ical = *m_pIcal;
    if (zoned) {
        icaltimetype t = ical.icaltime_null_time();
        t.year = local.year;
        t.month = local.month;
        t.day = local.day;
        t.hour = local.hour;
        t.minute = local.minute;
        t.second = local.second;
        ical.icalproperty_set_value(prop, ical.icalvalue_new_datetime(t));
        ical.icalproperty_add_parameter(prop, ical.icalparameter_new_tzid(ical.icaltimezone_get_tzid(m_pZone)));
        return prop;
    }
    std::int64_t seconds = 0;
    if (!LocalClock::FromLocal(local, seconds)) {
        ical.icalproperty_free(prop);
        return nullptr;
    }
    ical.icalproperty_set_value(prop, ical.icalvalue_new_datetime(IcalUtc(ical, seconds)));
    return prop;
}

bool ICalWriter::Begin(bool withZone) {
    if (m_pIcal == nullptr) {
        return false;
    }
    const ICalLibrary& ical = *m_pIcal;
    icalcomponent* cal = ical.icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, ical.icalproperty_new_version("2.0"),
                                             ical.icalproperty_new_prodid("-//Lazrine//Palm Desktop export//EN"),
                                             ical.icalproperty_new_calscale("GREGORIAN"), nullptr);
    if (withZone && m_pZone != nullptr) {
        icalcomponent* vtimezone = ical.icaltimezone_get_component(m_pZone);
        if (vtimezone != nullptr) {
            ical.icalcomponent_add_component(cal, ical.icalcomponent_new_clone(vtimezone));
        }
    }
    const std::unique_ptr<char, FreeText> text(ical.icalcomponent_as_ical_string_r(cal), FreeText{m_pIcal});
    ical.icalcomponent_free(cal);
    if (text == nullptr) {
        return false;
    }
    std::string head(text.get());
    constexpr std::string_view kClose = "END:VCALENDAR\r\n";
    if (head.size() >= kClose.size() && head.compare(head.size() - kClose.size(), kClose.size(), kClose) == 0) {
        head.resize(head.size() - kClose.size());
    }
    return m_sink.Write(head);
}

bool ICalWriter::End() { return m_sink.Write("END:VCALENDAR\r\n"); }

void ICalWriter::AddRepeat(icalcomponent* c, const palm::PmRepeatRule& rule, const LocalClock::Fields& start,
                           bool allDay, bool zoned) const {
    const ICalLibrary& ical = *m_pIcal;
    icalrecurrencetype r;
    ical.icalrecurrencetype_clear(&r);
    r.interval = static_cast<short>(rule.nInterval == 0 || rule.nInterval > 0x7FFF ? 1 : rule.nInterval);
    switch (rule.nRuleKind) {
        case 1:
            r.freq = ICAL_DAILY_RECURRENCE;
            break;
        case 2: {
            r.freq = ICAL_WEEKLY_RECURRENCE;
            int n = 0;
            for (int day = 0; day < 7; ++day) {
                if ((rule.nDayMask & (1u << day)) != 0) {
                    r.by_day[n++] = ByDay(day, 0);
                }
            }
            break;
        }
        case 3: {
            r.freq = ICAL_MONTHLY_RECURRENCE;
            const int weekday = rule.nDayIndex <= 6 ? static_cast<int>(rule.nDayIndex) : start.dayOfWeek;
            const int week = rule.nWeekIndex >= 4 ? -1 : static_cast<int>(rule.nWeekIndex) + 1;
            r.by_day[0] = ByDay(weekday, week);
            break;
        }
        case 4:
            r.freq = ICAL_MONTHLY_RECURRENCE;
            r.by_month_day[0] = static_cast<short>(
                rule.nDayOfMonth >= 1 && rule.nDayOfMonth <= 31 ? rule.nDayOfMonth : static_cast<unsigned>(start.day));
            break;
        case 5:
            // Month and day are the start's.
            r.freq = ICAL_YEARLY_RECURRENCE;
            break;
        case 6: {
            r.freq = ICAL_YEARLY_RECURRENCE;
            const int week = (start.day - 1) / 7 + 1;
            r.by_month[0] = static_cast<short>(start.month);
            r.by_day[0] = ByDay(start.dayOfWeek, week >= 5 ? -1 : week);
            break;
        }
        default:
            break;
    }
    Date until;
    if (RepeatEndOf(rule.nEndDate, until)) {
        if (allDay) {
            r.until = IcalDate(ical, until);
        } else {
            LocalClock::Fields last;
            last.year = until.year;
            last.month = until.month;
            last.day = until.day;
            last.hour = 23;
            last.minute = 59;
            last.second = 59;
            std::int64_t seconds = 0;
            if (LocalClock::FromLocal(last, seconds)) {
                r.until = IcalUtc(ical, seconds);
            }
        }
    }
    ical.icalcomponent_add_property(c, ical.icalproperty_new_rrule(r));
    for (const std::uint32_t stored : rule.aExceptions) {
        LocalClock::Fields f;
        if (!LocalOf(stored, f)) {
            continue;
        }
        if (allDay) {
            ical.icalcomponent_add_property(c, ical.icalproperty_new_exdate(IcalDate(ical, DateOf(f))));
            continue;
        }
        f.hour = start.hour;  // the occurrence that day begins at the start's time
        f.minute = start.minute;
        f.second = start.second;
        icalproperty* exdate = LocalTimeProperty(ical.icalproperty_new(ICAL_EXDATE_PROPERTY), f, zoned);
        if (exdate != nullptr) {
            ical.icalcomponent_add_property(c, exdate);
        }
    }
}

bool ICalWriter::UsesZone(const ExportEvent& e) {
    const bool repeats = e.Repeat.nRuleKind >= 1 && e.Repeat.nRuleKind <= palm::PmRepeatRule::kLastKnownKind;
    LocalClock::Fields start;
    return repeats && !e.bAllDay && LocalOf(e.nStart, start);
}

bool ICalWriter::WriteEvent(const ExportEvent& e) {
    if (m_pIcal == nullptr) {
        return false;
    }
    const ICalLibrary& ical = *m_pIcal;
    const palm::PmRepeatRule& rule = e.Repeat;
    const bool repeats = rule.nRuleKind >= 1 && rule.nRuleKind <= palm::PmRepeatRule::kLastKnownKind;
    LocalClock::Fields start;
    bool hasStart = LocalOf(e.nStart, start);
    LocalClock::Fields end;
    bool hasEnd = hasStart && LocalOf(e.nEnd, end) && e.nEnd >= e.nStart;
    bool allDay = e.bAllDay;
    if (!hasStart) {
        // An appointment without a start time is untimed: it keeps the day
        // its end names, as an all-day event. Without any day, iCalendar
        // has no place for it (a VEVENT needs DTSTART): it is left out and
        // a note says so; CSV and JSON keep it.
        if (!LocalOf(e.nEnd, start)) {
            const std::string summary = Lines(e.szSummary).substr(0, Lines(e.szSummary).find('\n'));
            m_Notes.push_back("appointment " + std::to_string(e.nId) + (summary.empty() ? "" : " (" + summary + ")") +
                              " has no date and is left out of the iCalendar file");
            return true;
        }
        hasStart = true;
        hasEnd = false;
        allDay = true;
    }
    const bool zoned = repeats && !allDay && m_pZone != nullptr;

    icalcomponent* ev = ical.icalcomponent_new_vevent();
    ical.icalcomponent_add_property(ev, ical.icalproperty_new_uid(e.szUid.c_str()));
    ical.icalcomponent_add_property(ev, ical.icalproperty_new_dtstamp(IcalUtc(ical, m_nStamp)));
    if (hasStart) {
        if (allDay) {
            const Date first = DateOf(start);
            Date last = first;
            if (hasEnd && DayNumber(DateOf(end)) > DayNumber(first)) {
                last = DateOf(end);
            }
            ical.icalcomponent_add_property(ev, ical.icalproperty_new_dtstart(IcalDate(ical, first)));
            ical.icalcomponent_add_property(ev, ical.icalproperty_new_dtend(IcalDate(ical, AddDays(last, 1))));
        } else if (zoned) {
            ical.icalcomponent_add_property(ev, LocalTimeProperty(ical.icalproperty_new(ICAL_DTSTART_PROPERTY), start, true));
            if (hasEnd) {
                ical.icalcomponent_add_property(ev, LocalTimeProperty(ical.icalproperty_new(ICAL_DTEND_PROPERTY), end, true));
            }
        } else {
            ical.icalcomponent_add_property(ev, ical.icalproperty_new_dtstart(IcalUtc(ical, e.nStart)));
            if (hasEnd) {
                ical.icalcomponent_add_property(ev, ical.icalproperty_new_dtend(IcalUtc(ical, e.nEnd)));
            }
        }
    }
    // Every component has a SUMMARY, empty when the record has no text:
    // some readers (calcurse) fail on one without.
    ical.icalcomponent_add_property(ev, ical.icalproperty_new_summary(Lines(e.szSummary).c_str()));
    AddText(ical, ev, ical.icalproperty_new_description, e.szNote);
    AddText(ical, ev, ical.icalproperty_new_location, e.szLocation);
    AddCategory(ical, ev, e.szCategory);
    if (e.bPrivate) {
        ical.icalcomponent_add_property(ev, ical.icalproperty_new_class(ICAL_CLASS_PRIVATE));
    }

    if (repeats && hasStart) {
        AddRepeat(ev, rule, start, allDay, zoned);
    }

    if (e.bAlarm) {
        AddAlarm(ev, e.szSummary, e.nAlarmMinutes > 0 && e.nAlarmMinutes < 1000000 ? -e.nAlarmMinutes * 60 : 0, false);
    }
    return WriteComponent(ev);
}

bool ICalWriter::WriteTask(const ExportTask& t) {
    if (m_pIcal == nullptr) {
        return false;
    }
    const ICalLibrary& ical = *m_pIcal;
    icalcomponent* todo = ical.icalcomponent_new_vtodo();
    ical.icalcomponent_add_property(todo, ical.icalproperty_new_uid(t.szUid.c_str()));
    ical.icalcomponent_add_property(todo, ical.icalproperty_new_dtstamp(IcalUtc(ical, m_nStamp)));
    ical.icalcomponent_add_property(todo, ical.icalproperty_new_summary(Lines(t.szSummary).c_str()));
    AddText(ical, todo, ical.icalproperty_new_description, t.szNote);
    misc::CxDateTime::Fields due;
    const bool hasDue = misc::CommTaskMgr::DueDateOf(t.nDueDate, due);
    const bool repeats = hasDue && t.Repeat.nRuleKind >= 1 && t.Repeat.nRuleKind <= palm::PmRepeatRule::kLastKnownKind;
    if (repeats) {
        // A repeating task starts on its due date: the rule counts from
        // DTSTART, and each occurrence is due the day it falls on.
        ical.icalcomponent_add_property(todo, ical.icalproperty_new_dtstart(IcalDate(ical, {due.wYear, due.wMonth, due.wDay})));
    }
    if (hasDue) {
        ical.icalcomponent_add_property(todo, ical.icalproperty_new_due(IcalDate(ical, {due.wYear, due.wMonth, due.wDay})));
    }
    // Palm's five priorities keep their order and stay apart: 1, 3, 5, 7
    // and 9 (1 the highest); a record without one has the common level's.
    int priority = t.nPriority == 1 ? 1 : t.nPriority == 2 ? 9 : 5;
    if (t.nPalmPriority >= 1 && t.nPalmPriority <= 5) {
        priority = static_cast<int>(t.nPalmPriority) * 2 - 1;
    }
    ical.icalcomponent_add_property(todo, ical.icalproperty_new_priority(priority));
    if (t.bCompleted) {
        ical.icalcomponent_add_property(todo, ical.icalproperty_new_status(ICAL_STATUS_COMPLETED));
        if (t.nCompletedAt != 0 && t.nCompletedAt != palm::PmTime::kNoTime) {
            ical.icalcomponent_add_property(todo, ical.icalproperty_new_completed(IcalUtc(ical, t.nCompletedAt)));
        }
    }
    AddCategory(ical, todo, t.szCategory);
    if (t.bPrivate) {
        ical.icalcomponent_add_property(todo, ical.icalproperty_new_class(ICAL_CLASS_PRIVATE));
    }
    if (repeats) {
        LocalClock::Fields start;
        start.year = due.wYear;
        start.month = due.wMonth;
        start.day = due.wDay;
        start.dayOfWeek = due.wDayOfWeek;
        AddRepeat(todo, t.Repeat, start, true, false);
    }
    // A task's alarm rings on its due day; a task without one has no time
    // an alarm could refer to, so it gets none.
    if (t.bAlarm && hasDue) {
        AddAlarm(todo, t.szSummary, 0, true);
    }
    return WriteComponent(todo);
}

}  // namespace lazrine::exporting
