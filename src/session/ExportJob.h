#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/export/ExportFormat.h"
#include "common/export/ExportSink.h"
#include "common/export/RecordExporter.h"
#include "common/palm/PmKindInfo.h"
#include "common/palm/PmRecordSet.h"
#include "session/KindSession.h"
#include "session/Outcome.h"
#include "session/UiServices.h"

namespace lazrine::session {

// One export: which records, in which format, to where. Reads the record
// set only; the data file is never written (see RecordExporter).
class ExportJob {
public:
    using Format = exporting::ExportFormat::Id;

    // The rows a window exports: the checked ones; when none is checked,
    // every shown one once the user agrees (`bAsk`); when none is shown,
    // none (kNothingSelected).
    struct WindowRows {
        Outcome nOutcome = Outcome::kOk;
        std::vector<std::size_t> records;
        bool bAsk = false;
    };
    static WindowRows RowsForWindow(const KindSession& session);

    // The kind's formats as file dialog types, its default first.
    static std::vector<FileFilter> Filters(const palm::PmKindInfo& kind);
    // "contacts.vcf": the name a save dialog proposes.
    static std::string SuggestedName(const palm::PmKindInfo& kind);
    // The type picked in a dialog (an index into Filters), else the one
    // the file name ends with (any letter case), else the kind's first.
    static Format FormatFor(const palm::PmKindInfo& kind, std::size_t filter, const std::string& path);
    // The format with the command-line name `name`, when the kind offers it.
    static bool FormatNamed(const palm::PmKindInfo& kind, const std::string& name, Format& format);
    // True when `output` names the data file the records are read from.
    static bool WritesOverDataFile(const std::string& dataFile, const std::string& output);

    struct Report {
        Outcome nOutcome = Outcome::kOk;
        std::string szError;
        // After a failed file export: the file is whole in place nonetheless.
        bool bOutputInPlace = false;
        // Files made by a folder export, also when a later one failed.
        std::size_t nWritten = 0;
        // What the format could not hold, one line each.
        std::vector<std::string> notes;
    };

    ExportJob(palm::PmRecordSet& set, Format format, std::vector<std::size_t> records);
    // Records of several copies of one kind's data, in one output; `parts`
    // is not empty and outlives the job (see RecordExporter::Part). Files
    // only: ToFolder exports nothing of them.
    ExportJob(std::vector<exporting::RecordExporter::Part> parts, Format format);
    ExportJob(const ExportJob&) = delete;
    ExportJob& operator=(const ExportJob&) = delete;
    void SetOrigin(std::string file, std::string user) { m_Exporter.SetOrigin(std::move(file), std::move(user)); }
    void SetProgress(exporting::RecordExporter::Progress progress) { m_Exporter.SetProgress(std::move(progress)); }
    std::size_t RecordCount() const;

    Report ToFile(const std::string& path);
    // Memos as text only: one file per memo in an existing folder.
    Report ToFolder(const std::string& folder);
    Report ToSink(exporting::ExportSink& sink);

private:
    Report Finish(bool ok, const std::string& error);

    exporting::RecordExporter m_Exporter;
    std::vector<std::size_t> m_Records;
    std::vector<exporting::RecordExporter::Part> m_Parts;  // m_Records, or the copies' records
};

}  // namespace lazrine::session
