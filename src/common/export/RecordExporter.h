#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "common/export/ExportFormat.h"
#include "common/export/ExportSink.h"
#include "common/palm/PmRecordSet.h"

namespace lazrine::exporting {

// Exports chosen records of a loaded record set in one format, record by
// record, to a sink, to a file or (memos as text) to one file per memo in a
// folder. Reads the record set only: nothing is ever written to the data
// the records came from. Output files are written crash-safely (a new file
// beside, then renamed into place), so a failed export leaves no partial
// file and never a damaged earlier one.
class RecordExporter {
public:
    // Called with the number of records written so far and the total.
    using Progress = std::function<void(std::size_t done, std::size_t total)>;
    static constexpr std::size_t kProgressStep = 1000;

    RecordExporter(palm::PmRecordSet& set, ExportFormat::Id format) : m_set(set), m_nFormat(format) {}

    // What the JSON form names as its file and user.
    void SetOrigin(std::string file, std::string user) {
        m_szFile = std::move(file);
        m_szUser = std::move(user);
    }
    void SetProgress(Progress progress) { m_Progress = std::move(progress); }
    // The time zone of iCalendar output (empty: the system's).
    void SetTimeZone(std::string zone) { m_szZone = std::move(zone); }

    // Records of another record set of the same kind (another copy of the
    // data), written in one output with the others; `szSource` names the
    // copy in the JSON form's "source" (empty: none).
    struct Part {
        palm::PmRecordSet* pSet = nullptr;
        std::span<const std::size_t> rows;
        std::string szSource;
    };

    bool Write(const std::vector<std::size_t>& rows, ExportSink& sink, std::string& error) {
        return WriteParts({{&m_set, rows, {}}}, sink, error);
    }
    bool WriteParts(const std::vector<Part>& parts, ExportSink& sink, std::string& error);
    // Writes the file `path`, creating it or replacing what is there;
    // refuses (false) to replace a Palm Desktop data file (IsPalmDataFile).
    // After a failure, OutputInPlace() tells whether the file was written
    // whole nonetheless (only its folder could not be flushed, so it may not
    // survive a crash).
    bool WriteFile(const std::vector<std::size_t>& rows, const std::string& path, std::string& error) {
        return WritePartsFile({{&m_set, rows, {}}}, path, error);
    }
    bool WritePartsFile(const std::vector<Part>& parts, const std::string& path, std::string& error);
    bool OutputInPlace() const { return m_bOutputInPlace; }
    // What the last Write or WriteFile has to tell the user besides success
    // or failure, one line each: the records a format could not hold and
    // left out (an appointment without any date in iCalendar).
    const std::vector<std::string>& Notes() const { return m_Notes; }
    // Memos only: one UTF-8 text file per memo in the existing folder
    // `folder`, named by MemoFileNamer; files already there are never
    // replaced. `written` counts the files made, also when a later one fails.
    bool WriteMemoFolder(const std::vector<std::size_t>& rows, const std::string& folder, std::size_t& written,
                         std::string& error);

    // True when the existing file `path` begins as Palm data of any
    // generation and kind does (see PmDataHead): a desktop data file or a
    // handheld record database.
    static bool IsPalmDataFile(const std::string& path);

private:
    bool WriteRecords(const std::vector<Part>& parts, ExportSink& sink);
    void Report(std::size_t done, std::size_t total) const;

    palm::PmRecordSet& m_set;
    ExportFormat::Id m_nFormat;
    std::string m_szFile;
    std::string m_szUser;
    std::string m_szZone;
    Progress m_Progress;
    bool m_bOutputInPlace = false;
    std::vector<std::string> m_Notes;
};

}  // namespace lazrine::exporting
