#pragma once

#include <cstddef>
#include <string>

#include "common/export/ExportSink.h"
#include "common/palm/PmRecordSet.h"

namespace lazrine::exporting {

// Writes records as one JSON object, the form of the command line's
// "list --json": {"kind", "store", "file", ["user",] "records": [...]}, each
// record with its index, id, status, deleted flag, "columns" (the window's
// texts) and "fields" (every field of the kind's field table, whole), all in
// UTF-8. The object is streamed record by record; what it writes is exactly
// what building the whole object and printing it compactly would give.
class JsonRecordWriter {
public:
    static constexpr std::size_t kCellBuffer = 4096;

    JsonRecordWriter(ExportSink& sink, const palm::PmRecordSet& set) : m_sink(sink), m_set(set) {}

    bool Begin(const std::string& file, const std::string& user);
    bool Write(std::size_t index);
    bool End();

    // The window's text of field `key` of record `i` (a 4096-byte cell), in UTF-8.
    static std::string CellText(const palm::PmRecordSet& set, std::size_t i, std::uint32_t key);

private:
    ExportSink& m_sink;
    const palm::PmRecordSet& m_set;
    bool m_bFirst = true;
};

}  // namespace lazrine::exporting
