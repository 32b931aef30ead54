#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "common/palm/PmRecordSet.h"

namespace lazrine::cli {

// Records as the command line prints them: a table of the kind's columns,
// one line per record, or one JSON object.
class RecordTable {
public:
    static void Print(const palm::PmRecordSet& set, const std::vector<std::size_t>& records, std::ostream& out);
    static void PrintJson(const palm::PmRecordSet& set, const std::string& file, const std::string& user,
                          const std::vector<std::size_t>& records, std::ostream& out);
};

}  // namespace lazrine::cli
