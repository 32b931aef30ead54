#pragma once

#include <string>
#include <vector>

namespace lazrine::testing {

// A small RFC 4180 reader for tests: records end in CR LF, fields are
// separated by commas, a quoted field may hold commas, line breaks and
// doubled quotes. False with `error` for a stray quote or a record that
// does not end in CR LF.
bool ReadCsv(const std::string& text, std::vector<std::vector<std::string>>& rows, std::string& error);

}  // namespace lazrine::testing
