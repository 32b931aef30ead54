#include "common/export/ICalWriter.h"

#include "common/export/VTimezoneText.h"

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string_view>

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

icaltimetype IcalDate(const Date& d) {
    icaltimetype t = icaltime_null_date();
    t.year = d.year;
    t.month = d.month;
    t.day = d.day;
    return t;
}

icaltimetype IcalUtc(std::int64_t seconds) {
    return icaltime_from_timet_with_zone(static_cast<time_t>(seconds), 0, icaltimezone_get_utc_timezone());
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
// writes a line break as \n).
std::string Lines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            out += '\n';
        } else {
            out += text[i];
        }
    }
    return out;
}

void AddText(icalcomponent* c, icalproperty* (*make)(const char*), const std::string& text) {
    if (!text.empty()) {
        icalcomponent_add_property(c, make(Lines(text).c_str()));
    }
}

// libical writes CATEGORIES as a list and leaves the commas and semicolons
// of its text unescaped, so that a category named "Trips, long" would be
// read back as two. Such characters are handed to libical as characters of
// Unicode's private use area, which no Palm text holds, and turned into
// their escapes once the component is serialised.
constexpr std::string_view kCommaStandIn = "\xEE\x80\x80";      // U+E000
constexpr std::string_view kSemicolonStandIn = "\xEE\x80\x81";  // U+E001

void AddCategory(icalcomponent* c, const std::string& category) {
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
    icalcomponent_add_property(c, icalproperty_new_categories(value.c_str()));
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

struct FreeText {
    void operator()(char* text) const { icalmemory_free_buffer(text); }
};

}  // namespace

ICalWriter::ICalWriter(ExportSink& sink, std::string zone, std::int64_t stamp)
    : m_sink(sink), m_nStamp(stamp == 0 ? static_cast<std::int64_t>(std::time(nullptr)) : stamp) {
    const bool system = zone.empty();
    m_szZone = system ? LocalClock::ZoneName() : std::move(zone);
    if (!m_szZone.empty() && !IsUtcName(m_szZone)) {
        m_pZone = icaltimezone_get_builtin_timezone(m_szZone.c_str());
    }
    LocalClock::ZoneRules rules;
    if (m_pZone == nullptr && system && LocalClock::SystemZoneRules(rules)) {
        UseRules(rules, m_szZone.empty() ? rules.name : m_szZone);
    }
}

ICalWriter::ICalWriter(ExportSink& sink, const LocalClock::ZoneRules& rules, std::string tzid, std::int64_t stamp)
    : m_sink(sink), m_nStamp(stamp == 0 ? static_cast<std::int64_t>(std::time(nullptr)) : stamp) {
    UseRules(rules, tzid);
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
    const std::string text = VTimezoneText::Build(rules, tzid);
    icalcomponent* component = text.empty() ? nullptr : icalparser_parse_string(text.c_str());
    if (component == nullptr) {
        return;
    }
    std::unique_ptr<icaltimezone, FreeZone> zone(icaltimezone_new());
    // The zone owns the component only once it has taken it.
    if (zone == nullptr || icalcomponent_isa(component) != ICAL_VTIMEZONE_COMPONENT ||
        icaltimezone_set_component(zone.get(), component) == 0) {
        icalcomponent_free(component);
        return;
    }
    m_szZone = tzid;
    m_ownZone = std::move(zone);
    m_pZone = m_ownZone.get();
}

ICalWriter::~ICalWriter() = default;

bool ICalWriter::WriteComponent(icalcomponent* component) {
    const std::unique_ptr<char, FreeText> text(icalcomponent_as_ical_string_r(component));
    icalcomponent_free(component);
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
    if (zoned) {
        icaltimetype t = icaltime_null_time();
        t.year = local.year;
        t.month = local.month;
        t.day = local.day;
        t.hour = local.hour;
        t.minute = local.minute;
        t.second = local.second;
        icalproperty_set_value(prop, icalvalue_new_datetime(t));
        icalproperty_add_parameter(prop, icalparameter_new_tzid(icaltimezone_get_tzid(m_pZone)));
        return prop;
    }
    std::int64_t seconds = 0;
    if (!LocalClock::FromLocal(local, seconds)) {
        icalproperty_free(prop);
        return nullptr;
    }
    icalproperty_set_value(prop, icalvalue_new_datetime(IcalUtc(seconds)));
    return prop;
}

bool ICalWriter::Begin() {
    icalcomponent* cal = icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"),
                                             icalproperty_new_prodid("-//Lazrine//Palm Desktop export//EN"),
                                             icalproperty_new_calscale("GREGORIAN"), nullptr);
    if (m_pZone != nullptr) {
        icalcomponent* vtimezone = icaltimezone_get_component(m_pZone);
        if (vtimezone != nullptr) {
            icalcomponent_add_component(cal, icalcomponent_new_clone(vtimezone));
        }
    }
    const std::unique_ptr<char, FreeText> text(icalcomponent_as_ical_string_r(cal));
    icalcomponent_free(cal);
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

bool ICalWriter::WriteEvent(const ExportEvent& e) {
    icalcomponent* ev = icalcomponent_new_vevent();
    icalcomponent_add_property(ev, icalproperty_new_uid(e.szUid.c_str()));
    icalcomponent_add_property(ev, icalproperty_new_dtstamp(IcalUtc(m_nStamp)));

    const palm::PmRepeatRule& rule = e.Repeat;
    const bool repeats = rule.nRuleKind >= 1 && rule.nRuleKind <= palm::PmRepeatRule::kLastKnownKind;
    const bool zoned = repeats && !e.bAllDay && m_pZone != nullptr;
    LocalClock::Fields start;
    const bool hasStart = LocalOf(e.nStart, start);
    LocalClock::Fields end;
    const bool hasEnd = LocalOf(e.nEnd, end) && e.nEnd >= e.nStart;
    if (hasStart) {
        if (e.bAllDay) {
            const Date first = DateOf(start);
            Date last = first;
            if (hasEnd && DayNumber(DateOf(end)) > DayNumber(first)) {
                last = DateOf(end);
            }
            icalcomponent_add_property(ev, icalproperty_new_dtstart(IcalDate(first)));
            icalcomponent_add_property(ev, icalproperty_new_dtend(IcalDate(AddDays(last, 1))));
        } else if (zoned) {
            icalcomponent_add_property(ev, LocalTimeProperty(icalproperty_new(ICAL_DTSTART_PROPERTY), start, true));
            if (hasEnd) {
                icalcomponent_add_property(ev, LocalTimeProperty(icalproperty_new(ICAL_DTEND_PROPERTY), end, true));
            }
        } else {
            icalcomponent_add_property(ev, icalproperty_new_dtstart(IcalUtc(e.nStart)));
            if (hasEnd) {
                icalcomponent_add_property(ev, icalproperty_new_dtend(IcalUtc(e.nEnd)));
            }
        }
    }
    AddText(ev, icalproperty_new_summary, e.szSummary);
    AddText(ev, icalproperty_new_description, e.szNote);
    AddText(ev, icalproperty_new_location, e.szLocation);
    AddCategory(ev, e.szCategory);
    if (e.bPrivate) {
        icalcomponent_add_property(ev, icalproperty_new_class(ICAL_CLASS_PRIVATE));
    }

    if (repeats && hasStart) {
        icalrecurrencetype r;
        icalrecurrencetype_clear(&r);
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
            if (e.bAllDay) {
                r.until = IcalDate(until);
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
                    r.until = IcalUtc(seconds);
                }
            }
        }
        icalcomponent_add_property(ev, icalproperty_new_rrule(r));
        for (const std::uint32_t stored : rule.aExceptions) {
            LocalClock::Fields f;
            if (!LocalOf(stored, f)) {
                continue;
            }
            if (e.bAllDay) {
                icalcomponent_add_property(ev, icalproperty_new_exdate(IcalDate(DateOf(f))));
                continue;
            }
            f.hour = start.hour;  // the occurrence that day begins at the start's time
            f.minute = start.minute;
            f.second = start.second;
            icalproperty* exdate = LocalTimeProperty(icalproperty_new(ICAL_EXDATE_PROPERTY), f, zoned);
            if (exdate != nullptr) {
                icalcomponent_add_property(ev, exdate);
            }
        }
    }

    if (e.bAlarm) {
        icalcomponent* alarm = icalcomponent_new_valarm();
        icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        struct icaltriggertype trigger;
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_from_int(
            static_cast<int>(e.nAlarmMinutes > 0 && e.nAlarmMinutes < 1000000 ? -e.nAlarmMinutes * 60 : 0));
        icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
        icalcomponent_add_property(alarm,
                                   icalproperty_new_description(Lines(e.szSummary.empty() ? "Reminder" : e.szSummary).c_str()));
        icalcomponent_add_component(ev, alarm);
    }
    return WriteComponent(ev);
}

bool ICalWriter::WriteTask(const ExportTask& t) {
    icalcomponent* todo = icalcomponent_new_vtodo();
    icalcomponent_add_property(todo, icalproperty_new_uid(t.szUid.c_str()));
    icalcomponent_add_property(todo, icalproperty_new_dtstamp(IcalUtc(m_nStamp)));
    AddText(todo, icalproperty_new_summary, t.szSummary);
    AddText(todo, icalproperty_new_description, t.szNote);
    misc::CxDateTime::Fields due;
    if (misc::CommTaskMgr::DueDateOf(t.nDueDate, due)) {
        icalcomponent_add_property(todo, icalproperty_new_due(IcalDate({due.wYear, due.wMonth, due.wDay})));
    }
    icalcomponent_add_property(todo, icalproperty_new_priority(t.nPriority == 1 ? 1 : t.nPriority == 2 ? 9 : 5));
    if (t.bCompleted) {
        icalcomponent_add_property(todo, icalproperty_new_status(ICAL_STATUS_COMPLETED));
    }
    AddCategory(todo, t.szCategory);
    if (t.bPrivate) {
        icalcomponent_add_property(todo, icalproperty_new_class(ICAL_CLASS_PRIVATE));
    }
    return WriteComponent(todo);
}

}  // namespace lazrine::exporting
