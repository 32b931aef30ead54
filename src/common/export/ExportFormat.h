#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lazrine::exporting {

// The formats an export writes, which kinds offer each, and their names on
// the command line and in file names.
class ExportFormat {
public:
    enum Id { kVCard, kICalendar, kText, kCsv, kJson };

    // "vcard", "ics", "text", "csv", "json".
    static const char* Name(Id id);
    // ".vcf", ".ics", ".txt", ".csv", ".json".
    static const char* Extension(Id id);
    // "vCard", "iCalendar", "Text", "CSV", "JSON": for file dialogs.
    static const char* Title(Id id);
    // The formats of a kind ("contacts", ...), its default first; none for
    // an unknown kind.
    static std::vector<Id> ForKind(std::string_view kind);
    // The format named `name` when the kind offers it.
    static bool Find(std::string_view kind, std::string_view name, Id& id);
};

}  // namespace lazrine::exporting
