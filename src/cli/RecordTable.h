#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "common/palm/PmRecordSet.h"
#include "session/BackupScan.h"

namespace lazrine::cli {

// Records as the command line prints them: a table of the kind's columns,
// one line per record, or one JSON object.
class RecordTable {
public:
    static void Print(const palm::PmRecordSet& set, const std::vector<std::size_t>& records, std::ostream& out);
    static void PrintJson(const palm::PmRecordSet& set, const std::string& file, const std::string& user,
                          const std::vector<std::size_t>& records, std::ostream& out);
    // What a scan found: one table per copy with found records, headed by
    // the copy's path, then a summary line; or the JSON of a list with a
    // "source" per record and the "copies" read.
    static void PrintScan(const session::BackupScan& scan, std::ostream& out);
    static void PrintScanJson(const session::BackupScan& scan, const std::string& user, std::ostream& out);
};

}  // namespace lazrine::cli
