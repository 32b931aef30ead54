#include "common/export/CsvWriter.h"

namespace lazrine::exporting {

std::string CsvWriter::Field(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) {
        return std::string(text);
    }
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
    return out;
}

bool CsvWriter::WriteRow(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        line += Field(fields[i]);
    }
    line += "\r\n";
    return m_sink.Write(line);
}

}  // namespace lazrine::exporting
