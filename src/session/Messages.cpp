#include "session/Messages.h"

namespace lazrine::session {
namespace {

std::string Palm(const palm::PmKindInfo& kind) { return std::string("Palm ") + kind.szPalmName; }

}  // namespace

std::string Messages::NoUsers(const std::string& reason) {
    return "No Palm Desktop users were found: " + reason + ".";
}

std::string Messages::NoSuchUser(const std::string& wanted) {
    return "No Palm Desktop user is named or numbered \"" + wanted + "\".";
}

std::string Messages::LoadProblem(const palm::PmKindInfo& kind, const std::string& reason) {
    return Palm(kind) + " data could not be loaded: " + reason + ".";
}

std::string Messages::LoadFromFileFailed(const palm::PmKindInfo& kind, const std::string& file) {
    return Palm(kind) + " data could not be loaded from " + file + ".";
}

std::string Messages::CannotLoadUser(const palm::PmKindInfo& kind, const std::string& user, std::uint32_t id,
                                     const std::string& folder, const std::string& reason) {
    std::string text = "Cannot load the " + std::string(kind.szName) + " of Palm Desktop user " + user + " (ID " +
                       std::to_string(id) + ")";
    if (!folder.empty()) {
        text += " in " + folder;
    }
    return text + "\n(" + reason + ")";
}

std::string Messages::NotAFile(const palm::PmKindInfo& kind, const std::string& file) {
    return file + ": not a Palm Desktop " + kind.szName + " data file";
}

std::string Messages::UndeleteBox(const palm::PmKindInfo& kind, const Undeleter::Report& report) {
    switch (report.nOutcome) {
        case Outcome::kOk:
            return kind.SuccessMessage(static_cast<int>(report.nUndeleted));
        case Outcome::kNothingSelected:
            return kind.NothingSelectedMessage();
        case Outcome::kReplacedNotDurable:
            return Palm(kind) + " undelete: the file was replaced, but the change may not survive a crash (" +
                   report.szReason + ").";
        case Outcome::kWriteFailed:
        case Outcome::kChangedSinceLoaded:
            return Palm(kind) + " undelete failed: the data could not be written (" + report.szReason +
                   "). The file was left unchanged; no records were undeleted.";
        default:
            return Palm(kind) + " undelete failed: " + std::to_string(report.nRefused) + " of " +
                   std::to_string(report.nRequested) + " selected records could not be undeleted (" +
                   report.szReason + "). Nothing was written; the file was left unchanged.";
    }
}

std::string Messages::UndeleteFailedLines(const Undeleter::Report& report, const std::string& name) {
    if (report.nOutcome == Outcome::kNotDeleted) {
        return "Undelete failed: " + report.szReason + "\nNothing was written; the file was left unchanged.\n";
    }
    std::string text = "Cannot save " + name + ": " + report.szReason + "\n";
    if (report.nFile == Undeleter::FileState::kUnchanged) {
        text += "The file was left unchanged.\n";
    }
    return text;
}

std::string Messages::RefusedIdsLines(const palm::PmKindInfo& kind, const KindSession::IdSelection& selection,
                                      bool undelete) {
    std::string text;
    for (const auto& refusal : selection.refused) {
        const std::string id = std::to_string(refusal.nId);
        text += refusal.bUnknown ? "No " + std::string(kind.szName) + " record has the ID " + id + ".\n"
                                 : "Record " + id + " is not deleted.\n";
    }
    text += undelete ? "Nothing was undeleted; the data was left unchanged.\n" : "Nothing was exported.\n";
    return text;
}

std::string Messages::NothingShownToExport(const palm::PmKindInfo& kind) {
    return "No " + Palm(kind) + " records are shown, export canceled.";
}

std::string Messages::ExportAllShownQuestion(std::size_t shown) {
    return "No records are checked. Export all " + std::to_string(shown) + " shown record" +
           (shown == 1 ? "" : "s") + "?";
}

std::string Messages::ExportFailedBox(const palm::PmKindInfo& kind, const ExportJob::Report& report) {
    return Palm(kind) + " export failed: " + report.szError + "." +
           (report.bOutputInPlace ? "" : " Nothing was written.");
}

std::string Messages::ExportDoneBox(const palm::PmKindInfo& kind, std::size_t records, const std::string& path,
                                    const std::vector<std::string>& notes) {
    std::string text = Palm(kind) + " export successfully, " + std::to_string(records) +
                       (records == 1 ? " record was" : " records were") + " written to " + path + ".";
    // What the format could not hold follows the report, one line each.
    for (const std::string& note : notes) {
        text += "\n" + note + ".";
    }
    return text;
}

std::string Messages::RecordCount(std::size_t records) {
    return std::to_string(records) + (records == 1 ? " record" : " records");
}

std::string Messages::ExportedTo(std::size_t records, const std::string& output) {
    return RecordCount(records) + (records == 1 ? " was" : " were") + " exported to " + output + ".";
}

std::string Messages::UnknownFormat(const palm::PmKindInfo& kind, const std::string& format) {
    std::string text =
        "lazrine-cli: the " + std::string(kind.szName) + " cannot be exported as \"" + format + "\"; choose one of";
    for (const auto f : exporting::ExportFormat::ForKind(kind.szName)) {
        text += " " + std::string(exporting::ExportFormat::Name(f));
    }
    return text + ".";
}

std::string Messages::FolderNeedsMemoText() {
    return "lazrine-cli: only memos as text are exported into a folder, one file each; name a file for --output.";
}

std::string Messages::OutputIsDataFile(const std::string& output) {
    return output + " is the data file being exported; an export never writes to it.";
}

std::string Messages::InvalidDataFile(const palm::PmKindInfo& kind) {
    return std::string("Invalid Palm ") + kind.szCaption + " data file.";
}

std::string Messages::InvalidBrowsedFile(const palm::PmKindInfo& kind) {
    return std::string(kind.szCaption) + " file invalid, please try another one.";
}

std::string Messages::OpenDataFileTitle(const palm::PmKindInfo& kind) {
    return std::string("Open Palm Desktop ") + kind.szCaption + " data file";
}

std::string Messages::ScanFailed(const palm::PmKindInfo& kind, const std::string& folder,
                                 const std::string& reason) {
    return "Cannot scan " + folder + " for copies of the " + kind.szPalmName + " data: " + reason;
}

std::string Messages::ScanSummary(const BackupScan& scan) {
    std::size_t withFound = 0;
    for (const auto& copy : scan.Copies()) {
        withFound += copy.found.empty() ? 0 : 1;
    }
    const std::size_t found = scan.FoundCount();
    const std::size_t copies = scan.Copies().size();
    return "Found " + std::to_string(found) + (found == 1 ? " record" : " records") + " in " +
           std::to_string(withFound) + " of " + std::to_string(copies) + (copies == 1 ? " copy" : " copies") +
           " read.";
}

}  // namespace lazrine::session
