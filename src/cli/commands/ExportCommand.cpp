#include "cli/commands/ExportCommand.h"

#include <ostream>

#include "common/export/ExportStreamSink.h"
#include "platform/FileIo.h"
#include "session/ExportJob.h"
#include "session/Messages.h"

namespace lazrine::cli {
namespace {

using session::ExportJob;
using session::Messages;

// "DIR/" or an existing folder: one file per memo.
bool IsFolderOutput(const std::string& output) {
    if (output.back() == '/' || output.back() == '\\') {
        return true;
    }
    platform::FileIo::Facts facts;
    return platform::FileIo::Instance().Inspect(output, facts, nullptr) &&
           facts.nKind == platform::FileIo::Facts::Kind::kDirectory;
}

// The exporter's notes on standard error, so that standard output holds
// the export alone.
void PrintNotes(const ExportJob::Report& report, std::ostream& err) {
    for (const std::string& note : report.notes) {
        err << "Note: " << note << "\n";
    }
}

}  // namespace

int ExportCommand::Run(CliContext& context) {
    const CliOptions& o = context.Options();
    const palm::PmKindInfo& kind = context.Kind();
    std::ostream& err = context.Err();
    ExportJob::Format format = exporting::ExportFormat::ForKind(kind.szName).front();
    if (!o.format.empty() && !ExportJob::FormatNamed(kind, o.format, format)) {
        err << Messages::UnknownFormat(kind, o.format) << "\n";
        return CliContext::kExitUsage;
    }
    const bool toOutput = !o.output.empty() && o.output != "-";
    const bool toFolder = toOutput && IsFolderOutput(o.output);
    if (toFolder && !(kind.nKind == palm::PmKind::kMemos && format == exporting::ExportFormat::kText)) {
        err << Messages::FolderNeedsMemoText() << "\n";
        return CliContext::kExitUsage;
    }
    // An export never writes to the data file it reads (nor, checked when
    // it writes, to any other Palm Desktop data file).
    if (toOutput && !toFolder && ExportJob::WritesOverDataFile(o.file, o.output)) {
        err << Messages::OutputIsDataFile(o.output) << "\n";
        return CliContext::kExitFailed;
    }
    auto session = context.Load();
    if (!session) {
        return CliContext::kExitFailed;
    }
    std::vector<std::size_t> records;
    if (!o.ids.empty()) {
        const auto selection = session->SelectIds(o.ids, false);
        if (!selection.Complete()) {
            err << Messages::RefusedIdsLines(kind, selection, false);
            return CliContext::kExitFailed;
        }
        records = selection.records;
    } else {
        records = session->Records(o.all);
    }
    const std::size_t count = records.size();
    ExportJob job(*session->RecordSet(), format, std::move(records));
    job.SetOrigin(o.file, context.UserName());
    if (context.Progress()) {
        job.SetProgress([&err](std::size_t done, std::size_t total) {
            err << "\rExporting: " << done << " of " << total << " records" << (done == total ? "\n" : "")
                << std::flush;
        });
    }
    if (toFolder) {
        const ExportJob::Report report = job.ToFolder(o.output);
        if (report.nOutcome != session::Outcome::kOk) {
            err << "Export failed: " << report.szError << "\n"
                << report.nWritten << " of " << Messages::RecordCount(count) << " were written to " << o.output
                << ".\n";
            return CliContext::kExitFailed;
        }
        context.Out() << Messages::ExportedTo(count, o.output) << "\n";
        return CliContext::kExitOk;
    }
    if (toOutput) {
        const ExportJob::Report report = job.ToFile(o.output);
        if (report.nOutcome != session::Outcome::kOk) {
            err << "Export failed: " << report.szError << "\n";
            if (!report.bOutputInPlace) {
                err << "Nothing was written to " << o.output << ".\n";
            }
            return CliContext::kExitFailed;
        }
        PrintNotes(report, err);
        context.Out() << Messages::ExportedTo(count, o.output) << "\n";
        return CliContext::kExitOk;
    }
    exporting::ExportStreamSink sink(context.Out());
    const ExportJob::Report report = job.ToSink(sink);
    if (report.nOutcome != session::Outcome::kOk) {
        err << "Export failed: " << report.szError << "\n";
        return CliContext::kExitFailed;
    }
    PrintNotes(report, err);
    return CliContext::kExitOk;
}

}  // namespace lazrine::cli
