#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/palm/PmKindInfo.h"
#include "session/BackupScan.h"
#include "session/ExportJob.h"
#include "session/Undeleter.h"

namespace lazrine::session {

// Every sentence Lazrine says to its user, built from the reports of the
// session layer, so that the window and the command line word the same
// outcome the same way wherever they share it. Texts are UTF-8.
class Messages {
public:
    // Window captions.
    static constexpr const char* kInformation = "Information";
    static constexpr const char* kError = "Error";
    static constexpr const char* kExport = "Export";

    // Users and loading.
    static std::string NoUsers(const std::string& reason);
    static std::string NoSuchUser(const std::string& wanted);
    static std::string LoadProblem(const palm::PmKindInfo& kind, const std::string& reason);
    static std::string LoadFromFileFailed(const palm::PmKindInfo& kind, const std::string& file);
    // "Cannot load the memos of Palm Desktop user Jo (ID 7) in /x\n(reason)".
    static std::string CannotLoadUser(const palm::PmKindInfo& kind, const std::string& user, std::uint32_t id,
                                      const std::string& folder, const std::string& reason);
    // "<file>: not a Palm Desktop memos data file".
    // "Cannot scan FOLDER for copies of the memopad data: REASON"
    static std::string ScanFailed(const palm::PmKindInfo& kind, const std::string& folder, const std::string& reason);
    // "Found 3 records in 2 of 5 copies read."
    static std::string ScanSummary(const BackupScan& scan);
    static std::string NotAFile(const palm::PmKindInfo& kind, const std::string& file);

    // The window's undelete: the box after a run (nothing selected included).
    static std::string UndeleteBox(const palm::PmKindInfo& kind, const Undeleter::Report& report);
    static bool UndeleteIsError(const Undeleter::Report& report) {
        return report.nOutcome != Outcome::kOk && report.nOutcome != Outcome::kNothingSelected;
    }
    // The command line's undelete: the lines on standard error after a
    // failed run; `name` is the file or the user's name.
    static std::string UndeleteFailedLines(const Undeleter::Report& report, const std::string& name);
    // An id choice that was refused, one line per id and the closing line.
    static std::string RefusedIdsLines(const palm::PmKindInfo& kind, const KindSession::IdSelection& selection,
                                       bool undelete);

    // The window's export.
    static std::string NothingShownToExport(const palm::PmKindInfo& kind);
    static std::string ExportAllShownQuestion(std::size_t shown);
    static std::string ExportFailedBox(const palm::PmKindInfo& kind, const ExportJob::Report& report);
    static std::string ExportDoneBox(const palm::PmKindInfo& kind, std::size_t records, const std::string& path,
                                     const std::vector<std::string>& notes);
    static std::string ExportDialogTitle() { return kExport; }
    // The command line's export.
    static std::string RecordCount(std::size_t records);  // "1 record", "3 records"
    static std::string ExportedTo(std::size_t records, const std::string& output);
    static std::string UnknownFormat(const palm::PmKindInfo& kind, const std::string& format);
    static std::string FolderNeedsMemoText();
    static std::string OutputIsDataFile(const std::string& output);

    // The options dialog.
    static std::string InvalidDataFile(const palm::PmKindInfo& kind);      // on OK
    static std::string InvalidBrowsedFile(const palm::PmKindInfo& kind);   // after browsing
    static std::string OpenDataFileTitle(const palm::PmKindInfo& kind);
};

}  // namespace lazrine::session
