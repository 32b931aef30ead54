#include "cli/CliApp.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/CliContext.h"
#include "cli/commands/ExportCommand.h"
#include "cli/commands/ListCommand.h"
#include "cli/commands/ProbeCommand.h"
#include "cli/commands/ScanCommand.h"
#include "cli/commands/UndeleteCommand.h"
#include "cli/commands/UsersCommand.h"
#include "common/export/ExportFormat.h"
#include "common/palm/PmRecordSetFactory.h"

namespace lazrine::cli {

int CliApp::Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args == std::vector<std::string>{"--version"}) { out << "lazrine-cli " LAZRINE_VERSION "\n"; return kExitOk; }
    CLI::App app{"Lists, undeletes and exports records deleted in Palm Desktop.", "lazrine-cli"};
    app.require_subcommand(1);
    // File arguments may start with '/' (a path under Wine, or written the
    // POSIX way): never read them as Windows-style options.
    app.allow_windows_style_options(false);
    CliOptions o;

    std::vector<std::string> kinds;
    for (const auto name : palm::PmRecordSetFactory::Names()) {
        kinds.emplace_back(name);
    }
    app.add_option("--settings", o.settings,
                   "Settings file naming the Palm Desktop folder (default: tamrisk.ini beside the program)");
    app.fallthrough();
    std::vector<CLI::App*> withFileOrUser;
    const auto addKindAndFile = [&](CLI::App* sub) {
        sub->add_option("kind", o.kind, "Kind of data")->required()->check(CLI::IsMember(kinds));
        auto* file = sub->add_option("file", o.file, "Palm Desktop data file");
        auto* user = sub->add_option("--user", o.user, "Palm Desktop user (name or ID) whose data to use");
        file->excludes(user);
        withFileOrUser.push_back(sub);
    };

    CLI::App* users = app.add_subcommand("users", "List the Palm Desktop users and their data folders");

    CLI::App* probe = app.add_subcommand("probe", "Tell which store generation reads a file");
    addKindAndFile(probe);

    CLI::App* list = app.add_subcommand("list", "List deleted (or all) records");
    addKindAndFile(list);
    list->add_flag("--all", o.all, "List every record, not only the deleted ones");
    list->add_flag("--json", o.json, "Print one JSON object");

    CLI::App* undelete = app.add_subcommand("undelete", "Undelete records and save");
    addKindAndFile(undelete);
    auto* ids = undelete->add_option("--id", o.ids, "Record id to undelete (repeatable)");
    auto* allDeleted = undelete->add_flag("--all-deleted", o.allDeleted, "Undelete every deleted record");
    ids->excludes(allDeleted);
    undelete->add_flag("--dry-run", o.dryRun, "List what would be undeleted; write nothing");

    CLI::App* exportCmd = app.add_subcommand("export", "Export deleted (or all, or chosen) records to a standard format");
    addKindAndFile(exportCmd);
    auto* exportDeleted = exportCmd->add_flag("--deleted", o.deletedOnly, "Export the deleted records (the default)");
    auto* exportAll = exportCmd->add_flag("--all", o.all, "Export every record");
    auto* exportIds = exportCmd->add_option("--id", o.ids, "Record id to export (repeatable)");
    exportDeleted->excludes(exportAll)->excludes(exportIds);
    exportAll->excludes(exportIds);
    std::vector<std::string> formatNames;
    for (const auto id : {exporting::ExportFormat::kVCard, exporting::ExportFormat::kICalendar,
                          exporting::ExportFormat::kText, exporting::ExportFormat::kCsv, exporting::ExportFormat::kJson}) {
        formatNames.emplace_back(exporting::ExportFormat::Name(id));
    }
    exportCmd->add_option("--format", o.format,
                          "vcard (contacts), ics (calendar, tasks), text (memos), csv or json; default the first "
                          "the kind offers")
        ->check(CLI::IsMember(formatNames));
    exportCmd->add_option("--output", o.output,
                          "File to write (default or -: standard output); memos as text: DIR/ for one file each");

    CLI::App* scan = app.add_subcommand(
        "scan", "Find records that survive only in other copies of a user's data (older copies, archives, "
                "handheld backups)");
    scan->add_option("kind", o.kind, "Kind of data")->required()->check(CLI::IsMember(kinds));
    auto* scanFolder = scan->add_option("folder", o.file, "A Palm Desktop user's data folder");
    scanFolder->excludes(scan->add_option("--user", o.user, "Palm Desktop user (name or ID) whose folder to scan"));
    scan->add_flag("--json", o.json, "Print one JSON object");
    withFileOrUser.push_back(scan);

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
        if (undelete->parsed() && o.ids.empty() && !o.allDeleted) {
            throw CLI::RequiredError("--id or --all-deleted");
        }
        for (const CLI::App* sub : withFileOrUser) {
            if (sub->parsed() && o.file.empty() && o.user.empty()) {
                throw CLI::RequiredError(sub == scan ? "folder or --user" : "file or --user");
            }
        }
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        err << "lazrine-cli: " << e.what() << "\n\n" << app.help();
        return kExitUsage;
    }

    CliContext context(o, out, err, m_bProgressOnErr);
    if (users->parsed()) {
        return UsersCommand::Run(context);
    }
    if (probe->parsed()) {
        return ProbeCommand::Run(context);
    }
    if (list->parsed()) {
        return ListCommand::Run(context);
    }
    if (exportCmd->parsed()) {
        return ExportCommand::Run(context);
    }
    if (scan->parsed()) {
        return ScanCommand::Run(context);
    }
    return UndeleteCommand::Run(context);
}

}  // namespace lazrine::cli
