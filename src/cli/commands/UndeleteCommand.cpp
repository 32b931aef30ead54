#include "cli/commands/UndeleteCommand.h"

#include <ostream>

#include "cli/RecordTable.h"
#include "session/Messages.h"
#include "session/Undeleter.h"

namespace lazrine::cli {

int UndeleteCommand::Run(CliContext& context) {
    const CliOptions& o = context.Options();
    auto session = context.Load();
    if (!session) {
        return CliContext::kExitFailed;
    }
    std::vector<std::size_t> records;
    if (o.allDeleted) {
        records = session->Records(false);
    } else {
        // Every id must name a deleted record, or nothing is changed.
        const auto selection = session->SelectIds(o.ids, true);
        if (!selection.Complete()) {
            context.Err() << session::Messages::RefusedIdsLines(context.Kind(), selection, true);
            return CliContext::kExitFailed;
        }
        records = selection.records;
    }
    if (records.empty()) {
        context.Err() << context.Kind().NothingSelectedMessage() << "\n";
        return CliContext::kExitFailed;
    }
    if (o.dryRun) {
        context.Out() << "Would undelete:\n";
        RecordTable::Print(*session->RecordSet(), records, context.Out());
        return CliContext::kExitOk;
    }
    const session::Undeleter::Report report = session::Undeleter::Run(*session->RecordSet(), records);
    if (report.nOutcome != session::Outcome::kOk) {
        context.Err() << session::Messages::UndeleteFailedLines(report, o.user.empty() ? o.file : context.UserName());
        return CliContext::kExitFailed;
    }
    context.Out() << context.Kind().SuccessMessage(static_cast<int>(report.nUndeleted)) << "\n";
    return CliContext::kExitOk;
}

}  // namespace lazrine::cli
