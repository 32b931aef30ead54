#include "cli/commands/ListCommand.h"

#include "cli/RecordTable.h"

namespace lazrine::cli {

int ListCommand::Run(CliContext& context) {
    const CliOptions& o = context.Options();
    auto session = context.Load();
    if (!session) {
        return CliContext::kExitFailed;
    }
    const std::vector<std::size_t> records = session->Records(o.all);
    if (o.json) {
        RecordTable::PrintJson(*session->RecordSet(), o.file, context.UserName(), records, context.Out());
    } else {
        RecordTable::Print(*session->RecordSet(), records, context.Out());
    }
    return CliContext::kExitOk;
}

}  // namespace lazrine::cli
