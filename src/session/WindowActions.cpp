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
    ExportToChosenFile(info, ui, suggested, busy, [&session, &rows](ExportJob::Format format) {
        return std::make_unique<ExportJob>(*session.RecordSet(), format, std::move(rows.records));
    });
}

void WindowActions::ExportToChosenFile(const palm::PmKindInfo& kind, UiServices& ui, const std::string& suggested,
                                       const Busy& busy, const JobMaker& makeJob) {
    std::string chosen;
    std::size_t filter = UiServices::kNoFilter;
    if (!ui.ChooseSaveFile(Messages::kExport, suggested, ExportJob::Filters(kind), chosen, filter)) {
        return;
    }
    const std::unique_ptr<ExportJob> job = makeJob(ExportJob::FormatFor(kind, filter, chosen));
    const std::size_t count = job->RecordCount();
    if (busy) {
        busy(true);
    }
    const ExportJob::Report report = job->ToFile(chosen);
    if (busy) {
        busy(false);
    }
    if (report.nOutcome != Outcome::kOk) {
        ui.Error(Messages::kError, Messages::ExportFailedBox(kind, report));
        return;
    }
    ui.Information(Messages::kInformation, Messages::ExportDoneBox(kind, count, chosen, report.notes));
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
