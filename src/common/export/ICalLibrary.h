#pragma once

#include <memory>
#include <string>

#include <libical/ical.h>

#include "platform/DynamicLibrary.h"

namespace lazrine::exporting {

// The libical functions the iCalendar writer calls, one member each, named
// and typed as the function (its type taken from libical's header).
//
// libical is loaded only when an iCalendar file is first written. On Debian
// it pulls in ICU, which costs more than the rest of the command line put
// together in memory mapped at start, and every other command (listing,
// undeleting, the other export formats) needs neither. So on Linux the
// program is not linked with libical: the table is filled by looking each
// function up in libical.so.3, the library of the ABI the headers describe
// (its soname changes when that ABI does). Where libical is linked in
// statically (Windows) it is filled with the functions' own addresses, which
// costs nothing there.
//
// Weighed against the table: building the writer as a module of its own,
// loaded beside the program, would keep direct calls but needs a second
// binary installed and found at run time, and the module would carry or
// reach back for the model and platform code the writer uses; a linker
// trick (lazy or delayed loading) does not exist for ELF in GNU ld, and
// generated stubs (Implib.so) add a build tool for 52 functions. The table
// keeps one binary, and a libical without one of these functions is
// reported, never called.
#define LAZRINE_ICAL_FUNCTIONS(X)                                                                              \
    X(icalcomponent_add_component)                                                                             \
    X(icalcomponent_add_property)                                                                              \
    X(icalcomponent_as_ical_string_r)                                                                          \
    X(icalcomponent_free)                                                                                      \
    X(icalcomponent_isa)                                                                                       \
    X(icalcomponent_new_clone)                                                                                 \
    X(icalcomponent_new_valarm)                                                                                \
    X(icalcomponent_new_vevent)                                                                                \
    X(icalcomponent_new_vtodo)                                                                                 \
    X(icalcomponent_vanew)                                                                                     \
    X(icaldurationtype_from_int)                                                                               \
    X(icalmemory_free_buffer)                                                                                  \
    X(icalparameter_new_related)                                                                               \
    X(icalparameter_new_tzid)                                                                                  \
    X(icalparser_parse_string)                                                                                 \
    X(icalproperty_add_parameter)                                                                              \
    X(icalproperty_free)                                                                                       \
    X(icalproperty_new)                                                                                        \
    X(icalproperty_new_action)                                                                                 \
    X(icalproperty_new_calscale)                                                                               \
    X(icalproperty_new_categories)                                                                             \
    X(icalproperty_new_class)                                                                                  \
    X(icalproperty_new_completed)                                                                              \
    X(icalproperty_new_description)                                                                            \
    X(icalproperty_new_dtend)                                                                                  \
    X(icalproperty_new_dtstamp)                                                                                \
    X(icalproperty_new_dtstart)                                                                                \
    X(icalproperty_new_due)                                                                                    \
    X(icalproperty_new_exdate)                                                                                 \
    X(icalproperty_new_location)                                                                               \
    X(icalproperty_new_priority)                                                                               \
    X(icalproperty_new_prodid)                                                                                 \
    X(icalproperty_new_rrule)                                                                                  \
    X(icalproperty_new_status)                                                                                 \
    X(icalproperty_new_summary)                                                                                \
    X(icalproperty_new_trigger)                                                                                \
    X(icalproperty_new_uid)                                                                                    \
    X(icalproperty_new_version)                                                                                \
    X(icalproperty_set_value)                                                                                  \
    X(icalrecurrencetype_clear)                                                                                \
    X(icaltime_from_timet_with_zone)                                                                           \
    X(icaltime_null_date)                                                                                      \
    X(icaltime_null_time)                                                                                      \
    X(icaltimezone_free)                                                                                       \
    X(icaltimezone_get_builtin_timezone)                                                                       \
    X(icaltimezone_get_component)                                                                              \
    X(icaltimezone_get_tzid)                                                                                   \
    X(icaltimezone_get_utc_offset_of_utc_time)                                                                 \
    X(icaltimezone_get_utc_timezone)                                                                           \
    X(icaltimezone_new)                                                                                        \
    X(icaltimezone_set_component)                                                                              \
    X(icalvalue_new_datetime)

class ICalLibrary {
public:
    // The library looked for on Linux.
    static constexpr const char* kFile = "libical.so.3";

    // The process's table, loaded by the first call and kept while the
    // program runs; nullptr when libical cannot be loaded, with the reason,
    // as the user is told it, in `error`.
    static const ICalLibrary* Get(std::string& error);
    // A table of the functions of the library `file`, looked up by name;
    // nullptr, with the reason in `error`, when it cannot be loaded or lacks
    // one of them.
    static std::unique_ptr<ICalLibrary> Load(const std::string& file, std::string& error);

#define LAZRINE_ICAL_MEMBER(name) decltype(&::name) name = nullptr;
    LAZRINE_ICAL_FUNCTIONS(LAZRINE_ICAL_MEMBER)
#undef LAZRINE_ICAL_MEMBER

private:
    std::unique_ptr<platform::DynamicLibrary> m_library;  // none when linked in
};

}  // namespace lazrine::exporting
