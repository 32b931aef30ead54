#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/export/ExportSink.h"
#include "common/palm/PmRecordSet.h"

namespace lazrine::exporting {

// Writes records as one JSON object, the form of the command line's
// "list --json": {"kind", "store", "file", ["user",] "records": [...]}, each
// record with its index, id, status, deleted flag, "columns" (the window's
// texts) and "fields" (every field of the kind's field table, whole), all in
// UTF-8; records of other copies of the data also carry their "source".
// The object is streamed record by record; what it writes is exactly
// what building the whole object with nlohmann::ordered_json and printing it
// compactly would give (a repeated name keeps its first place and its last
// value), but each record is written straight into one reused buffer.
class JsonRecordWriter {
public:
    static constexpr std::size_t kCellBuffer = 4096;

    JsonRecordWriter(ExportSink& sink, const palm::PmRecordSet& set) : m_sink(sink), m_set(set) {}

    bool Begin(const std::string& file, const std::string& user);
    bool Write(std::size_t index) { return Write(m_set, index, nullptr); }
    // A record of another record set of the same kind, with the copy it
    // came from as its "source" when given.
    bool Write(const palm::PmRecordSet& from, std::size_t index, const std::string* source);
    // Closes the object; `members`, when given, are further members (JSON
    // text starting with a comma) after "records".
    bool End(const std::string& members = {});

    // The window's text of field `key` of record `i` (a 4096-byte cell), in UTF-8.
    static std::string CellText(const palm::PmRecordSet& set, std::size_t i, std::uint32_t key);

private:
    // One member of "columns" or "fields": its name, already in JSON, and
    // the field whose text it shows.
    struct Member {
        std::string szName;
        std::uint32_t nKey = 0;
    };
    static std::vector<Member> Members(const std::vector<std::pair<std::string, std::uint32_t>>& named);

    ExportSink& m_sink;
    const palm::PmRecordSet& m_set;
    bool m_bFirst = true;
    std::vector<Member> m_Columns;
    std::vector<Member> m_Fields;
    std::string m_Buffer;
};

}  // namespace lazrine::exporting
