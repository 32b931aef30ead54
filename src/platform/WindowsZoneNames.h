#pragma once

#include <span>
#include <string_view>

namespace lazrine::platform {

// Windows names its time zones after its registry keys ("W. Europe Standard
// Time"); iCalendar readers know the zone database's names ("Europe/Berlin").
// This maps the one to the other, taking for each Windows zone the place the
// Unicode CLDR "windowsZones" table names for the world (territory 001).
// Free of system calls, so it is the same table on every platform.
class WindowsZoneNames {
public:
    struct Entry {
        std::string_view windowsName;
        std::string_view zoneName;
    };

    // The zone database's name for the Windows zone `windowsName` (exact
    // key name, as GetDynamicTimeZoneInformation gives it); empty when the
    // table does not hold it.
    static std::string_view ZoneDatabaseName(std::string_view windowsName);
    // Every entry, sorted by Windows name.
    static std::span<const Entry> All();
};

}  // namespace lazrine::platform
