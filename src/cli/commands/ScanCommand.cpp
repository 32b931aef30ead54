#include "cli/commands/ScanCommand.h"

#include <ostream>

#include "cli/RecordTable.h"
#include "common/palm/PmRecordSetFactory.h"
#include "session/BackupScan.h"
#include "session/Messages.h"

namespace lazrine::cli {

int ScanCommand::Run(CliContext& context) {
    const CliOptions& o = context.Options();
    std::ostream& err = context.Err();
    std::string folder = o.file;
    if (!o.user.empty()) {
        session::Workspace::ChosenUser user;
        if (!context.FindUser(user)) {
            return CliContext::kExitFailed;
        }
        folder = user.szFolder;
        if (folder.empty()) {
            context.CannotLoadUser(user, "its data folder is not known");
            return CliContext::kExitFailed;
        }
    }
    session::BackupScan scan(context.Kind().nKind, [&context, &o] {
        auto set = palm::PmRecordSetFactory::Create(context.Kind().nKind);
        set->UseSettingsFile(o.settings);
        return set;
    });
    session::BackupScan::Progress progress;
    if (context.Progress()) {
        progress = [&err](std::size_t seen, const std::string&) {
            if (seen % 100 == 0) {
                err << "\rScanning: " << seen << " files" << std::flush;
            }
            return true;
        };
    }
    const auto& report = scan.Run(folder, progress);
    if (context.Progress()) {
        err << "\r";
    }
    for (const std::string& note : report.notes) {
        err << "Note: " << note << "\n";
    }
    if (report.nOutcome != session::Outcome::kOk) {
        err << session::Messages::ScanFailed(context.Kind(), folder, report.szReason) << "\n";
        return CliContext::kExitFailed;
    }
    if (o.json) {
        RecordTable::PrintScanJson(scan, context.UserName(), context.Out());
    } else {
        RecordTable::PrintScan(scan, context.Out());
    }
    return CliContext::kExitOk;
}

}  // namespace lazrine::cli
