#include "session/WindowActions.h"

#include "session/ExportJob.h"
#include "session/Messages.h"
#include "session/Undeleter.h"

namespace lazrine::session {

void WindowActions::Undelete(Workspace& workspace, palm::PmKind kind, UiServices& ui) {
    KindSession& session = workspace.Session(kind);
    const palm::PmKindInfo& info = session.Kind();
    const std::vector<std::size_t> checked = session.Checked();
    if (!session.Available() || checked.empty()) {
        ui.Information(Messages::kInformation, info.NothingSelectedMessage());
        return;
    }
    const Undeleter::Report report = Undeleter::Run(*session.RecordSet(), checked);
    if (Messages::UndeleteIsError(report)) {
        ui.Error(Messages::kError, Messages::UndeleteBox(info, report));
    } else {
        ui.Information(Messages::kInformation, Messages::UndeleteBox(info, report));
    }
    // Show what the data on disk holds, not what memory was changed to.
    if (report.nFile == Undeleter::FileState::kUnchanged && report.nOutcome != Outcome::kOk) {
        workspace.Load(kind);
    } else {
        session.Refill();
    }
}

void WindowActions::Export(Workspace& workspace, palm::PmKind kind, UiServices& ui, const std::string& suggested,
                           const Busy& busy) {
    KindSession& session = workspace.Session(kind);
    const palm::PmKindInfo& info = session.Kind();
    ExportJob::WindowRows rows = ExportJob::RowsForWindow(session);
    if (rows.nOutcome != Outcome::kOk) {
        ui.Information(Messages::kInformation, Messages::NothingShownToExport(info));
        return;
    }
    if (rows.bAsk && !ui.Ask(Messages::kExport, Messages::ExportAllShownQuestion(rows.records.size()))) {
        return;
    }
    std::string chosen;
    std::size_t filter = UiServices::kNoFilter;
    if (!ui.ChooseSaveFile(Messages::kExport, suggested, ExportJob::Filters(info), chosen, filter)) {
        return;
    }
    const std::size_t count = rows.records.size();
    ExportJob job(*session.RecordSet(), ExportJob::FormatFor(info, filter, chosen), std::move(rows.records));
    if (busy) {
        busy(true);
    }
    const ExportJob::Report report = job.ToFile(chosen);
    if (busy) {
        busy(false);
    }
    if (report.nOutcome != Outcome::kOk) {
        ui.Error(Messages::kError, Messages::ExportFailedBox(info, report));
        return;
    }
    ui.Information(Messages::kInformation, Messages::ExportDoneBox(info, count, chosen, report.notes));
}

void WindowActions::ReportFailedReloads(const Workspace& workspace,
                                        const std::array<bool, palm::kPmKindCount>& changed, UiServices& ui) {
    for (const palm::PmKindInfo& kind : palm::PmKindInfo::All()) {
        const KindSession& session = workspace.Session(kind.nKind);
        const std::string& file = workspace.Options().FileOf(kind.nKind);
        if (!changed[kind.Index()] || !session.Available() || file.empty() ||
            session.LastLoad().nOutcome == Outcome::kOk) {
            continue;
        }
        ui.ErrorWithDetail(Messages::kError, Messages::LoadFromFileFailed(kind, file), session.LastLoad().szReason);
    }
}

}  // namespace lazrine::session
