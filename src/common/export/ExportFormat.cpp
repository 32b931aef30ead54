#include "common/export/ExportFormat.h"

#include <algorithm>

namespace lazrine::exporting {

const char* ExportFormat::Name(Id id) {
    switch (id) {
        case kVCard:
            return "vcard";
        case kICalendar:
            return "ics";
        case kText:
            return "text";
        case kCsv:
            return "csv";
        case kJson:
            return "json";
    }
    return "";
}

const char* ExportFormat::Extension(Id id) {
    switch (id) {
        case kVCard:
            return ".vcf";
        case kICalendar:
            return ".ics";
        case kText:
            return ".txt";
        case kCsv:
            return ".csv";
        case kJson:
            return ".json";
    }
    return "";
}

const char* ExportFormat::Title(Id id) {
    switch (id) {
        case kVCard:
            return "vCard";
        case kICalendar:
            return "iCalendar";
        case kText:
            return "Text";
        case kCsv:
            return "CSV";
        case kJson:
            return "JSON";
    }
    return "";
}

std::vector<ExportFormat::Id> ExportFormat::ForKind(std::string_view kind) {
    if (kind == "contacts") {
        return {kVCard, kCsv, kJson};
    }
    if (kind == "calendar" || kind == "tasks") {
        return {kICalendar, kCsv, kJson};
    }
    if (kind == "memos") {
        return {kText, kCsv, kJson};
    }
    return {};
}

bool ExportFormat::Find(std::string_view kind, std::string_view name, Id& id) {
    const auto formats = ForKind(kind);
    const auto it = std::find_if(formats.begin(), formats.end(), [name](Id f) { return name == Name(f); });
    if (it == formats.end()) {
        return false;
    }
    id = *it;
    return true;
}

}  // namespace lazrine::exporting
