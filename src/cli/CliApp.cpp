#include "cli/CliApp.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdint>
#include <iomanip>
#include <memory>
#include <ostream>
#include <set>
#include <sstream>

#include "common/export/ExportFormat.h"
#include "common/export/ExportStreamSink.h"
#include "common/export/JsonRecordWriter.h"
#include "common/export/RecordExporter.h"
#include "common/palm/PmRecordSetFactory.h"
#include "common/palm/desktop/PmDesktop.h"
#include "platform/FileIo.h"
#include "platform/TextCodec.h"

namespace lazrine::cli {
namespace {

using palm::PmRecordSet;

// The text of a cell as the window shows it, in UTF-8.
std::string CellText(const PmRecordSet& set, std::size_t i, std::uint32_t key) {
    return exporting::JsonRecordWriter::CellText(set, i, key);
}

bool IsDeletedAt(const PmRecordSet& set, std::size_t i) { return set.IsDeletedAt(i); }

// A cell shortened to one line for the table view.
std::string OneLine(const std::string& text, std::size_t width) {
    std::string line;
    for (const char c : text) {
        line.push_back(c == '\r' || c == '\n' || c == '\t' ? ' ' : c);
    }
    // Cut on a UTF-8 character boundary.
    if (line.size() > width) {
        std::size_t cut = width;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        line.resize(cut);
        line += "...";
    }
    return line;
}

void PrintTable(const PmRecordSet& set, const std::vector<std::size_t>& rows, std::ostream& out) {
    out << std::left << std::setw(7) << "Index" << std::setw(12) << "ID" << std::setw(10) << "Status"
        << std::setw(9) << "Deleted";
    for (const auto& column : set.Kind().columns) {
        out << column.caption << "  ";
    }
    out << "\n";
    for (const std::size_t i : rows) {
        const auto& rec = set.CommonAt(i);
        std::ostringstream status;
        status << "0x" << std::hex << std::setw(2) << std::setfill('0') << set.StatusAt(i);
        out << std::left << std::setfill(' ') << std::setw(7) << i << std::setw(12) << rec.nId << std::setw(10)
            << status.str() << std::setw(9) << (IsDeletedAt(set, i) ? "yes" : "no");
        for (const auto& column : set.Kind().columns) {
            out << OneLine(CellText(set, i, column.key), 60) << "  ";
        }
        out << "\n";
    }
    out << rows.size() << (rows.size() == 1 ? " record" : " records") << "\n";
}

void PrintJson(const PmRecordSet& set, const std::string& file, const std::string& user,
               const std::vector<std::size_t>& rows, std::ostream& out) {
    exporting::ExportStreamSink sink(out);
    exporting::JsonRecordWriter json(sink, set);
    json.Begin(file, user);
    for (const std::size_t i : rows) {
        json.Write(i);
    }
    json.End();
    sink.Finish();
}

struct Options {
    std::string kind;
    std::string file;
    bool all = false;
    bool json = false;
    std::vector<std::uint32_t> ids;
    bool allDeleted = false;
    bool dryRun = false;
    // export
    bool deletedOnly = false;
    std::string format;
    std::string output;
    // Palm Desktop user (name or ID) whose data is used instead of `file`.
    std::string user;
    std::string settings;
};

// The Palm Desktop user chosen with --user, once found.
struct ChosenUser {
    std::uint32_t nUserId = 0;
    std::string szName;    // UTF-8
    std::string szFolder;  // host path of the data folder, when known
};

class Runner {
public:
    Runner(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    // Lists the Palm Desktop users: ID, name and data folder.
    int Users(const Options& o) {
        const auto users = EnumerateUsers(o);
        if (users.empty()) {
            m_err << "No Palm Desktop users were found: " << palm::PmDesktop::PmNoUsersReason(o.settings) << ".\n";
            return CliApp::kExitFailed;
        }
        m_out << std::left << std::setw(12) << "ID" << std::setw(24) << "Name" << "Data folder\n";
        for (const auto& user : users) {
            std::string folder;
            if (!palm::PmDesktop::PmGetUserDataPath(user.nUserId, folder)) {
                folder = "(" + palm::PmDesktop::PmLastError() + ")";
            }
            m_out << std::left << std::setw(12) << user.nUserId << std::setw(24)
                  << platform::TextCodec::Cp1252ToUtf8(user.szName) << folder << "\n";
        }
        m_out << users.size() << (users.size() == 1 ? " user" : " users") << "\n";
        return CliApp::kExitOk;
    }

    int Probe(const Options& o) {
        if (!o.user.empty()) {
            ChosenUser user;
            if (!FindUser(o, user)) {
                return CliApp::kExitFailed;
            }
            auto set = CreateSet(o);
            if (!set->LoadForUser(user.nUserId)) {
                CannotLoadUser(o, user, *set);
                return CliApp::kExitFailed;
            }
            m_out << palm::PmStoreKindName(set->LoadedKind()) << "\n";
            return CliApp::kExitOk;
        }
        auto set = CreateSet(o);
        const PmRecordSet::ProbeResult probe = set->ProbeWithReason(o.file);
        using Failure = PmRecordSet::ProbeFailure;
        switch (probe.nFailure) {
            case Failure::kNone:
                break;
            case Failure::kInUse:
                // Its kind is unknown, not wrong.
                m_err << platform::FileIo::InUseText(o.file) << "\n";
                return CliApp::kExitFailed;
            case Failure::kNotRegular:
            case Failure::kMissing:
                m_err << o.file << ": " << probe.szReason << "\n";
                return CliApp::kExitFailed;
            default:
                m_err << NotAFile(o) << "\n";
                return CliApp::kExitFailed;
        }
        m_out << palm::PmStoreKindName(probe.nKind) << "\n";
        return CliApp::kExitOk;
    }

    int List(const Options& o) {
        auto set = Load(o);
        if (!set) {
            return CliApp::kExitFailed;
        }
        std::vector<std::size_t> rows;
        for (std::size_t i = 0; i < set->CommonCount(); ++i) {
            if (o.all || IsDeletedAt(*set, i)) {
                rows.push_back(i);
            }
        }
        if (o.json) {
            PrintJson(*set, o.file, m_szUserName, rows, m_out);
        } else {
            PrintTable(*set, rows, m_out);
        }
        return CliApp::kExitOk;
    }

    int Undelete(const Options& o) {
        auto set = Load(o);
        if (!set) {
            return CliApp::kExitFailed;
        }
        std::vector<std::size_t> rows;
        if (o.allDeleted) {
            for (std::size_t i = 0; i < set->CommonCount(); ++i) {
                if (IsDeletedAt(*set, i)) {
                    rows.push_back(i);
                }
            }
        } else if (!SelectIds(*set, o, rows)) {
            return CliApp::kExitFailed;
        }
        if (rows.empty()) {
            m_err << set->Kind().NothingSelectedMessage() << "\n";
            return CliApp::kExitFailed;
        }
        if (o.dryRun) {
            m_out << "Would undelete:\n";
            PrintTable(*set, rows, m_out);
            return CliApp::kExitOk;
        }
        std::size_t done = 0;
        for (const std::size_t i : rows) {
            if (!set->UndeleteAt(i)) {
                m_err << "Undelete failed: " << set->LastError() << "\n";
                set->RevertPending();
                m_err << "Nothing was written; the file was left unchanged.\n";
                return CliApp::kExitFailed;
            }
            ++done;
        }
        if (!set->Save()) {
            m_err << "Cannot save " << (o.user.empty() ? o.file : m_szUserName) << ": " << set->LastError() << "\n";
            if (!set->SaveReplacedFile()) {
                m_err << "The file was left unchanged.\n";
            }
            return CliApp::kExitFailed;
        }
        m_out << set->Kind().SuccessMessage(static_cast<int>(done)) << "\n";
        return CliApp::kExitOk;
    }

    int Export(const Options& o) {
        exporting::ExportFormat::Id format = exporting::ExportFormat::ForKind(o.kind).front();
        if (!o.format.empty() && !exporting::ExportFormat::Find(o.kind, o.format, format)) {
            m_err << "lazrine-cli: the " << o.kind << " cannot be exported as \"" << o.format << "\"; choose one of";
            for (const auto f : exporting::ExportFormat::ForKind(o.kind)) {
                m_err << " " << exporting::ExportFormat::Name(f);
            }
            m_err << ".\n";
            return CliApp::kExitUsage;
        }
        const bool toOutput = !o.output.empty() && o.output != "-";
        const bool toFolder = toOutput && IsFolderOutput(o.output);
        if (toFolder && !(o.kind == "memos" && format == exporting::ExportFormat::kText)) {
            m_err << "lazrine-cli: only memos as text are exported into a folder, one file each; name a file "
                     "for --output.\n";
            return CliApp::kExitUsage;
        }
        if (toOutput && !toFolder && !MayWriteOutput(o)) {
            return CliApp::kExitFailed;
        }
        auto set = Load(o);
        if (!set) {
            return CliApp::kExitFailed;
        }
        std::vector<std::size_t> rows;
        if (!o.ids.empty()) {
            if (!SelectAnyIds(*set, o, rows)) {
                return CliApp::kExitFailed;
            }
        } else {
            for (std::size_t i = 0; i < set->CommonCount(); ++i) {
                if (o.all || IsDeletedAt(*set, i)) {
                    rows.push_back(i);
                }
            }
        }
        exporting::RecordExporter exporter(*set, format);
        exporter.SetOrigin(o.file, m_szUserName);
        if (m_bProgress) {
            exporter.SetProgress([this](std::size_t done, std::size_t total) {
                m_err << "\rExporting: " << done << " of " << total << " records" << (done == total ? "\n" : "")
                      << std::flush;
            });
        }
        std::string error;
        const std::string records = std::to_string(rows.size()) + (rows.size() == 1 ? " record" : " records");
        if (toFolder) {
            std::size_t written = 0;
            if (!exporter.WriteMemoFolder(rows, o.output, written, error)) {
                m_err << "Export failed: " << error << "\n" << written << " of " << records << " were written to "
                      << o.output << ".\n";
                return CliApp::kExitFailed;
            }
            m_out << records << (rows.size() == 1 ? " was" : " were") << " exported to " << o.output << ".\n";
            return CliApp::kExitOk;
        }
        if (toOutput) {
            if (!exporter.WriteFile(rows, o.output, error)) {
                m_err << "Export failed: " << error << "\n";
                if (!exporter.OutputInPlace()) {
                    m_err << "Nothing was written to " << o.output << ".\n";
                }
                return CliApp::kExitFailed;
            }
            PrintNotes(exporter);
            m_out << records << (rows.size() == 1 ? " was" : " were") << " exported to " << o.output << ".\n";
            return CliApp::kExitOk;
        }
        exporting::ExportStreamSink sink(m_out);
        if (!exporter.Write(rows, sink, error)) {
            m_err << "Export failed: " << error << "\n";
            return CliApp::kExitFailed;
        }
        PrintNotes(exporter);
        return CliApp::kExitOk;
    }

    void SetProgress(bool progress) { m_bProgress = progress; }

private:
    // The exporter's notes on standard error, so that standard output holds
    // the export alone.
    void PrintNotes(const exporting::RecordExporter& exporter) {
        for (const std::string& note : exporter.Notes()) {
            m_err << "Note: " << note << "\n";
        }
    }

    // The records the --id options name, deleted or not; every id must
    // name a record, else each one that does not is reported and the
    // result is false.
    bool SelectAnyIds(const PmRecordSet& set, const Options& o, std::vector<std::size_t>& rows) {
        const std::set<std::uint32_t> wanted(o.ids.begin(), o.ids.end());
        std::set<std::uint32_t> found;
        for (std::size_t i = 0; i < set.CommonCount(); ++i) {
            const std::uint32_t id = set.CommonAt(i).nId;
            if (wanted.count(id) != 0) {
                rows.push_back(i);
                found.insert(id);
            }
        }
        bool ok = true;
        for (const std::uint32_t id : wanted) {
            if (found.count(id) == 0) {
                m_err << "No " << o.kind << " record has the ID " << id << ".\n";
                ok = false;
            }
        }
        if (!ok) {
            rows.clear();
            m_err << "Nothing was exported.\n";
        }
        return ok;
    }

    // "DIR/" or an existing folder: one file per memo.
    static bool IsFolderOutput(const std::string& output) {
        if (output.back() == '/' || output.back() == '\\') {
            return true;
        }
        platform::FileIo::Facts facts;
        return platform::FileIo::Instance().Inspect(output, facts, nullptr) &&
               facts.nKind == platform::FileIo::Facts::Kind::kDirectory;
    }

    // An export never writes to the data file it reads (nor, checked when
    // it writes, to any other Palm Desktop data file).
    bool MayWriteOutput(const Options& o) {
        if (!o.file.empty() && o.output == o.file) {
            m_err << o.output << " is the data file being exported; an export never writes to it.\n";
            return false;
        }
        return true;
    }

    // The records the --id options name. Every id must name a deleted
    // record; otherwise each one that does not is reported, nothing is
    // selected and the result is false, so nothing is changed.
    bool SelectIds(const PmRecordSet& set, const Options& o, std::vector<std::size_t>& rows) {
        const std::set<std::uint32_t> wanted(o.ids.begin(), o.ids.end());
        std::set<std::uint32_t> found;
        std::set<std::uint32_t> deleted;
        for (std::size_t i = 0; i < set.CommonCount(); ++i) {
            const std::uint32_t id = set.CommonAt(i).nId;
            if (wanted.count(id) == 0) {
                continue;
            }
            found.insert(id);
            if (IsDeletedAt(set, i)) {
                rows.push_back(i);
                deleted.insert(id);
            }
        }
        bool ok = true;
        std::set<std::uint32_t> told;
        for (const std::uint32_t id : o.ids) {
            if (!told.insert(id).second) {
                continue;
            }
            if (found.count(id) == 0) {
                m_err << "No " << o.kind << " record has the ID " << id << ".\n";
                ok = false;
            } else if (deleted.count(id) == 0) {
                m_err << "Record " << id << " is not deleted.\n";
                ok = false;
            }
        }
        if (!ok) {
            rows.clear();
            m_err << "Nothing was undeleted; the data was left unchanged.\n";
        }
        return ok;
    }

    static std::string NotAFile(const Options& o) {
        return o.file + ": not a Palm Desktop " + o.kind + " data file";
    }

    static std::vector<palm::PmUserInfo> EnumerateUsers(const Options& o) {
        palm::PmDesktop::PmLoadDesktopLibraries(o.settings);
        return palm::PmDesktop::PmEnumerateUsers();
    }

    // Finds the user named by --user: a name (exact, else in any ASCII
    // letter case), else a decimal user ID.
    bool FindUser(const Options& o, ChosenUser& chosen) {
        const auto users = EnumerateUsers(o);
        if (users.empty()) {
            m_err << "No Palm Desktop users were found: " << palm::PmDesktop::PmNoUsersReason(o.settings) << ".\n";
            return false;
        }
        const palm::PmUserInfo* found = nullptr;
        for (const auto& user : users) {
            if (found == nullptr && platform::TextCodec::Cp1252ToUtf8(user.szName) == o.user) {
                found = &user;
            }
        }
        const auto lower = [](std::string text) {
            for (char& c : text) {
                c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            }
            return text;
        };
        for (const auto& user : users) {
            if (found == nullptr && lower(platform::TextCodec::Cp1252ToUtf8(user.szName)) == lower(o.user)) {
                found = &user;
            }
        }
        for (const auto& user : users) {
            if (found == nullptr && std::to_string(user.nUserId) == o.user) {
                found = &user;
            }
        }
        if (found == nullptr) {
            m_err << "No Palm Desktop user is named or numbered \"" << o.user << "\".\n";
            return false;
        }
        chosen.nUserId = found->nUserId;
        chosen.szName = platform::TextCodec::Cp1252ToUtf8(found->szName);
        palm::PmDesktop::PmGetUserDataPath(chosen.nUserId, chosen.szFolder);
        m_szUserName = chosen.szName;
        return true;
    }

    static std::string UserDataText(const Options& o, const ChosenUser& user) {
        std::string text = "the " + o.kind + " of Palm Desktop user " + user.szName + " (ID " +
                           std::to_string(user.nUserId) + ")";
        if (!user.szFolder.empty()) {
            text += " in " + user.szFolder;
        }
        return text;
    }

    // A record set of the kind, with the settings of the settings file in use.
    static std::unique_ptr<PmRecordSet> CreateSet(const Options& o) {
        auto set = palm::PmRecordSetFactory::Create(o.kind);
        set->UseSettingsFile(o.settings);
        return set;
    }

    // Why a user's data did not load; the same words for every command.
    void CannotLoadUser(const Options& o, const ChosenUser& user, const PmRecordSet& set) {
        m_err << "Cannot load " << UserDataText(o, user) << "\n(" << set.LastError() << ")\n";
    }

    std::unique_ptr<PmRecordSet> Load(const Options& o) {
        auto set = CreateSet(o);
        set->SetIncludeDeleted(true);
        if (!o.user.empty()) {
            ChosenUser user;
            if (!FindUser(o, user)) {
                return nullptr;
            }
            if (!set->LoadForUser(user.nUserId)) {
                CannotLoadUser(o, user, *set);
                return nullptr;
            }
            return set;
        }
        if (!set->LoadFile(o.file)) {
            if (set->LoadFailedInUse()) {
                m_err << set->LastError() << "\n";
                return nullptr;
            }
            m_err << NotAFile(o) << "\n" << "(" << set->LastError() << ")\n";
            return nullptr;
        }
        return set;
    }

    std::ostream& m_out;
    std::ostream& m_err;
    std::string m_szUserName;  // UTF-8 name of the --user chosen
    bool m_bProgress = false;
};

}  // namespace

int CliApp::Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app{"Lists, undeletes and exports records deleted in Palm Desktop.", "lazrine-cli"};
    app.require_subcommand(1);
    // File arguments may start with '/' (a path under Wine, or written the
    // POSIX way): never read them as Windows-style options.
    app.allow_windows_style_options(false);
    Options o;

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

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
        if (undelete->parsed() && o.ids.empty() && !o.allDeleted) {
            throw CLI::RequiredError("--id or --all-deleted");
        }
        for (const CLI::App* sub : withFileOrUser) {
            if (sub->parsed() && o.file.empty() && o.user.empty()) {
                throw CLI::RequiredError("file or --user");
            }
        }
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        err << "lazrine-cli: " << e.what() << "\n\n" << app.help();
        return kExitUsage;
    }

    Runner runner(out, err);
    runner.SetProgress(m_bProgressOnErr);
    if (users->parsed()) {
        return runner.Users(o);
    }
    if (probe->parsed()) {
        return runner.Probe(o);
    }
    if (list->parsed()) {
        return runner.List(o);
    }
    if (exportCmd->parsed()) {
        return runner.Export(o);
    }
    return runner.Undelete(o);
}

}  // namespace lazrine::cli
