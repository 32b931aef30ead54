#include "CsvReader.h"

namespace lazrine::testing {

bool ReadCsv(const std::string& text, std::vector<std::vector<std::string>>& rows, std::string& error) {
    std::size_t i = 0;
    while (i < text.size()) {
        std::vector<std::string> row;
        for (;;) {
            std::string field;
            if (i < text.size() && text[i] == '"') {
                ++i;
                for (;;) {
                    if (i >= text.size()) {
                        error = "a quoted field without its closing quote";
                        return false;
                    }
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    field += text[i++];
                }
            } else {
                while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                    if (text[i] == '"') {
                        error = "a quote inside an unquoted field";
                        return false;
                    }
                    field += text[i++];
                }
            }
            row.push_back(field);
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            if (text.compare(i, 2, "\r\n") != 0) {
                error = "a record that does not end in CR LF";
                return false;
            }
            i += 2;
            break;
        }
        rows.push_back(std::move(row));
    }
    return true;
}

}  // namespace lazrine::testing
