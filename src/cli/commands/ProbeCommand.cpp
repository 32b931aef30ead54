#include "cli/commands/ProbeCommand.h"

#include <ostream>

#include "platform/FileIo.h"
#include "session/Messages.h"

namespace lazrine::cli {

int ProbeCommand::Run(CliContext& context) {
    const CliOptions& o = context.Options();
    if (!o.user.empty()) {
        auto session = context.Load();
        if (!session) {
            return CliContext::kExitFailed;
        }
        context.Out() << palm::PmStoreKindName(session->RecordSet()->LoadedKind()) << "\n";
        return CliContext::kExitOk;
    }
    const auto session = context.CreateSession();
    const palm::PmRecordSet::ProbeResult probe = session->RecordSet()->ProbeWithReason(o.file);
    using Failure = palm::PmRecordSet::ProbeFailure;
    switch (probe.nFailure) {
        case Failure::kNone:
            context.Out() << palm::PmStoreKindName(probe.nKind) << "\n";
            return CliContext::kExitOk;
        case Failure::kInUse:
            // Its kind is unknown, not wrong.
            context.Err() << platform::FileIo::InUseText(o.file) << "\n";
            return CliContext::kExitFailed;
        case Failure::kNotRegular:
        case Failure::kMissing:
            context.Err() << o.file << ": " << probe.szReason << "\n";
            return CliContext::kExitFailed;
        default:
            context.Err() << session::Messages::NotAFile(context.Kind(), o.file) << "\n";
            return CliContext::kExitFailed;
    }
}

}  // namespace lazrine::cli
