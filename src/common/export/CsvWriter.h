#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/export/ExportSink.h"

namespace lazrine::exporting {

// Writes comma-separated values as RFC 4180 lays them out: records end with
// CR LF; a field holding a comma, a double quote, a CR or a LF (or starting
// or ending with a blank, which some readers would trim) is enclosed in
// double quotes, its double quotes doubled. Texts pass through as given
// (UTF-8), line breaks inside fields included.
class CsvWriter {
public:
    explicit CsvWriter(ExportSink& sink) : m_sink(sink) {}

    bool WriteRow(const std::vector<std::string>& fields);
    static std::string Field(std::string_view text);

private:
    ExportSink& m_sink;
};

}  // namespace lazrine::exporting
