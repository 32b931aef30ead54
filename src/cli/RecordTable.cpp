#include "cli/RecordTable.h"

#include <iomanip>
#include <ostream>
#include <sstream>

#include "common/export/ExportStreamSink.h"
#include "common/export/JsonRecordWriter.h"
#include "common/palm/PmRecordSetFactory.h"
#include "session/Messages.h"

#include <nlohmann/json.hpp>

namespace lazrine::cli {
namespace {

// A cell shortened to one line for the table view.
std::string OneLine(const std::string& text, std::size_t width) {
    std::string line;
    for (const char c : text) {
        line.push_back(c == '\r' || c == '\n' || c == '\t' ? ' ' : c);
    }
    // Cut on a UTF-8 character boundary.
    if (line.size() > width) {
        std::size_t cut = width;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        line.resize(cut);
        line += "...";
    }
    return line;
}

}  // namespace

void RecordTable::Print(const palm::PmRecordSet& set, const std::vector<std::size_t>& records, std::ostream& out) {
    out << std::left << std::setw(7) << "Index" << std::setw(12) << "ID" << std::setw(10) << "Status"
        << std::setw(9) << "Deleted";
    for (const auto& column : set.Kind().columns) {
        out << column.caption << "  ";
    }
    out << "\n";
    for (const std::size_t i : records) {
        std::ostringstream status;
        status << "0x" << std::hex << std::setw(2) << std::setfill('0') << set.StatusAt(i);
        out << std::left << std::setfill(' ') << std::setw(7) << i << std::setw(12) << set.CommonAt(i).nId
            << std::setw(10) << status.str() << std::setw(9) << (set.IsDeletedAt(i) ? "yes" : "no");
        for (const auto& column : set.Kind().columns) {
            // The text of a cell as the window shows it, in UTF-8.
            out << OneLine(exporting::JsonRecordWriter::CellText(set, i, column.key), 60) << "  ";
        }
        out << "\n";
    }
    out << records.size() << (records.size() == 1 ? " record" : " records") << "\n";
}

void RecordTable::PrintJson(const palm::PmRecordSet& set, const std::string& file, const std::string& user,
                            const std::vector<std::size_t>& records, std::ostream& out) {
    exporting::ExportStreamSink sink(out);
    exporting::JsonRecordWriter json(sink, set);
    json.Begin(file, user);
    for (const std::size_t i : records) {
        json.Write(i);
    }
    json.End();
    sink.Finish();
}

void RecordTable::PrintScan(const session::BackupScan& scan, std::ostream& out) {
    for (const auto& copy : scan.Copies()) {
        if (copy.found.empty()) {
            continue;
        }
        out << copy.szPath << " (" << palm::PmStoreKindName(copy.nStore) << "): " << copy.found.size() << " of "
            << copy.nRecords << (copy.nRecords == 1 ? " record" : " records") << "\n";
        Print(*copy.pSet, copy.found, out);
        out << "\n";
    }
    out << session::Messages::ScanSummary(scan) << "\n";
}

void RecordTable::PrintScanJson(const session::BackupScan& scan, const std::string& user, std::ostream& out) {
    // The head names the live data; without any, a record set of the kind
    // that holds nothing.
    std::unique_ptr<palm::PmRecordSet> none;
    const palm::PmRecordSet* live = scan.Live();
    if (live == nullptr) {
        none = palm::PmRecordSetFactory::Create(scan.Kind().nKind);
        live = none.get();
    }
    exporting::ExportStreamSink sink(out);
    exporting::JsonRecordWriter json(sink, *live);
    json.Begin(scan.LivePath(), user);
    nlohmann::ordered_json copies = nlohmann::ordered_json::array();
    for (const auto& copy : scan.Copies()) {
        for (const std::size_t i : copy.found) {
            json.Write(*copy.pSet, i, &copy.szPath);
        }
        copies.push_back({{"path", copy.szPath},
                          {"store", palm::PmStoreKindName(copy.nStore)},
                          {"records", copy.nRecords},
                          {"found", copy.found.size()}});
    }
    json.End(",\"copies\":" + copies.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    sink.Finish();
}

}  // namespace lazrine::cli
