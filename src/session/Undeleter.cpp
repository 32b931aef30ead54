#include "session/Undeleter.h"

namespace lazrine::session {

Undeleter::Report Undeleter::Run(palm::PmRecordSet& set, const std::vector<std::size_t>& records) {
    Report report;
    report.nRequested = records.size();
    if (records.empty()) {
        report.nOutcome = Outcome::kNothingSelected;
        return report;
    }
    for (const std::size_t i : records) {
        if (!set.UndeleteAt(i)) {
            ++report.nRefused;
            if (report.szReason.empty()) {
                report.szReason = set.LastError();
            }
        }
    }
    if (report.nRefused > 0) {
        // The undeletes that were accepted only waited for the save.
        set.RevertPending();
        report.nOutcome = Outcome::kNotDeleted;
        return report;
    }
    if (set.Save()) {
        report.nUndeleted = records.size();
        report.nFile = FileState::kWritten;
        return report;
    }
    report.szReason = set.LastError();
    if (set.LastFailure() == platform::IoFailure::kReplacedNotDurable) {
        // The undeleted records are in the file; only its durability is in doubt.
        report.nUndeleted = records.size();
        report.nFile = FileState::kReplacedMaybeNotDurable;
        report.nOutcome = Outcome::kReplacedNotDurable;
        return report;
    }
    report.nOutcome = set.LastFailure() == platform::IoFailure::kChangedSinceLoaded ? Outcome::kChangedSinceLoaded
                                                                                   : Outcome::kWriteFailed;
    return report;
}

}  // namespace lazrine::session
