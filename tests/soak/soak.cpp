// lazrine-soak: random, seeded undelete sessions under disturbance, each
// checked against the promise made to the user: after an undelete the data
// file differs from the original only in the status words (record files) or
// Status cells (databases) of the records brought back, or it is untouched
// and the message says why.
//
// Every session generates or copies one data file into a fresh folder, picks
// the records to bring back and builds the expected file on its own, from
// the offsets of the status values (reported by the record file builder, or
// found in the database pages by JetPageEditor), never through the code under
// test. It then runs one undelete under one disturbance: a crash at an I/O
// step of the save, a real lazrine-cli killed at a random moment, a lock held
// by another program, another program writing the file mid-save, two
// undeletes at once, or a full disk. Afterwards the file must be the
// original, the expected file or (another writer) exactly what the other
// program wrote; every backup must be the original; a further undelete
// without disturbance must finish the job and leave no temporary file.
//
// The seed comes first in the output; `--seed N --session K` replays one
// session (with the same filters). Exit code 0 when every session held, 1 on
// a broken promise, 2 on a usage or setup error.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/CliApp.h"
#include "platform/AtomicFile.h"
#include "platform/FileIo.h"
#include "support/FaultInjectingFileIo.h"
#include "support/ForeignLock.h"
#include "support/JetPageEditor.h"
#include "support/PalmFileBuilder.h"
#include "support/ScopedFileIo.h"
#include "support/TempDir.h"

namespace lazrine::soak {
namespace {

namespace fs = std::filesystem;
using testing::FaultInjectingFileIo;
using Bytes = std::vector<std::uint8_t>;
using Rng = std::mt19937_64;
using Fault = FaultInjectingFileIo::Fault;

constexpr std::uint32_t kDeletedBits = 0x84;  // 0x04 deleted, 0x80 archived
constexpr std::uint32_t kLiveBit = 0x01;

const std::vector<std::string> kKinds = {"contacts", "calendar", "tasks", "memos"};
const std::vector<std::string> kGenerations = {"classic", "extended", "database"};
const std::vector<std::string> kDisturbances = {"crash", "kill", "lock", "writer", "twin", "diskfull"};

std::size_t Below(Rng& rng, std::size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); }
bool Chance(Rng& rng, int percent) { return Below(rng, 100) < static_cast<std::size_t>(percent); }
template <typename T>
const T& Pick(Rng& rng, const std::vector<T>& from) {
    return from[Below(rng, from.size())];
}

std::uint32_t ReadU32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
void WriteU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}
std::string Hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", v);
    return text;
}
bool IsDeleted(std::uint32_t status) { return (status & kDeletedBits) != 0; }
std::uint32_t Undeleted(std::uint32_t status) { return (status & ~kDeletedBits) | kLiveBit; }

std::optional<Bytes> ReadIfThere(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    return testing::ReadFileBytes(path);
}

// ---------------------------------------------------------------------------
// The data file of a session and what an undelete may change in it.

struct Record {
    std::uint32_t nId = 0;
    std::uint32_t nStatus = 0;
    std::size_t nOffset = 0;  // of the 4-byte status value
};

struct Subject {
    std::string szKind;
    std::string szGeneration;
    std::string szName;  // file name inside the session folder
    Bytes original;
    std::vector<Record> records;
    std::string szNotes;  // the unusual things the file holds

    std::vector<std::uint32_t> DeletedIds() const {
        std::vector<std::uint32_t> ids;
        for (const Record& r : records) {
            if (IsDeleted(r.nStatus)) {
                ids.push_back(r.nId);
            }
        }
        return ids;
    }
    // The original with exactly the records `ids` undeleted, built from the
    // status offsets alone.
    Bytes With(const std::set<std::uint32_t>& ids) const { return WithOn(original, ids); }
    // `base` (the original as another program changed it in place) with the
    // records `ids` undeleted at the original's status offsets.
    Bytes WithOn(const Bytes& base, const std::set<std::uint32_t>& ids) const {
        Bytes out = base;
        for (const Record& r : records) {
            if (ids.count(r.nId) != 0 && IsDeleted(r.nStatus)) {
                WriteU32(out, r.nOffset, Undeleted(r.nStatus));
            }
        }
        return out;
    }
};

// Texts of every sort the files hold: empty, plain, CR LF, Windows-1252,
// longer than a one-byte length, quotes.
std::string RandomText(Rng& rng) {
    static const std::vector<std::string> kWords = {"Call",  "Anna",   "quarterly", "report", "O'Brien", "\"quoted\"",
                                                    "Caf\xE9", "M\xFCller", "\x80 12",  "\r\n",   "gate",    "plumber"};
    std::string text;
    switch (Below(rng, 6)) {
        case 0:
            return text;
        case 1: {
            const std::size_t length = 255 + Below(rng, 2000);
            while (text.size() < length) {
                text += Pick(rng, kWords) + " ";
            }
            return text.substr(0, length);
        }
        default: {
            const std::size_t words = 1 + Below(rng, 8);
            for (std::size_t i = 0; i < words; ++i) {
                text += (i == 0 ? "" : " ") + Pick(rng, kWords);
            }
            return text;
        }
    }
}

std::uint32_t RandomStatus(Rng& rng) {
    static const std::vector<std::uint32_t> kStatuses = {0x00, 0x01, 0x02, 0x04, 0x80, 0x84,
                                                         0x06, 0x05, 0x85, 0x86, 0x04, 0x84};
    return Pick(rng, kStatuses);
}

// Ids, statuses and categories shared by every kind of record file.
struct RecordPlan {
    std::vector<std::uint32_t> ids;
    std::vector<std::uint32_t> statuses;
    std::vector<testing::CategoryEntry> categories;
    bool unusual = false;
    std::string notes;
};

RecordPlan PlanRecords(Rng& rng, bool allowUnusual) {
    RecordPlan plan;
    plan.unusual = allowUnusual && Chance(rng, 50);
    const std::size_t count = 1 + Below(rng, 14);
    std::set<std::uint32_t> used;
    while (plan.ids.size() < count) {
        const auto id = static_cast<std::uint32_t>(1 + Below(rng, Chance(rng, 20) ? 0x7FFFFFFF : 5000));
        if (used.insert(id).second) {
            plan.ids.push_back(id);
            plan.statuses.push_back(RandomStatus(rng));
        }
    }
    if (std::none_of(plan.statuses.begin(), plan.statuses.end(), IsDeleted)) {
        plan.statuses[Below(rng, count)] = Chance(rng, 50) ? 0x04 : 0x84;
    }
    // Rare: the readers refuse such files (with a message), so no
    // disturbance is tried on them.
    const bool many = plan.unusual && Chance(rng, 15);
    const bool longNames = plan.unusual && Chance(rng, 50);
    const std::size_t categories = many ? 16 + Below(rng, 8) : Below(rng, 6);
    for (std::size_t i = 0; i < categories; ++i) {
        std::string name = "Cat" + std::to_string(i) + (Chance(rng, 30) ? " Caf\xE9" : "");
        if (longNames && Chance(rng, 60)) {
            name += " with a name longer than fifteen";
        }
        const auto index = static_cast<std::uint32_t>(i + 1);
        // Palm Desktop stores the name twice.
        plan.categories.push_back({index, index + 10, 0, name, name});
    }
    if (many) {
        plan.notes += " more-than-15-categories";
    }
    if (longNames) {
        plan.notes += " long-category-names";
    }
    return plan;
}

std::uint32_t CategoryOf(Rng& rng, const RecordPlan& plan) {
    return plan.categories.empty() || Chance(rng, 30) ? 0 : Pick(rng, plan.categories).id;
}

// One class of repeat rule is declared once per file; later records repeat
// without a rule.
testing::RepeatLayout RandomRepeat(Rng& rng, std::set<std::uint32_t>& declared) {
    const auto kind = static_cast<std::uint32_t>(Below(rng, 7));
    if (kind == 0 || !declared.insert(kind).second) {
        return {};
    }
    return testing::MakeRepeat(kind, Chance(rng, 30) ? std::vector<std::uint32_t>{1241600000} : std::vector<std::uint32_t>{});
}

// Palm Desktop keeps the record count in bytes 12 and 13 of an extended
// file's header block (the high byte offset by 16).
template <typename Spec>
void CountInHeader(Spec& spec, std::size_t records) {
    spec.headerBlock[12] = static_cast<std::uint8_t>(records % 256);
    spec.headerBlock[13] = static_cast<std::uint8_t>((records / 256 + 16) % 256);
}

Bytes BuildMemos(Rng& rng, const RecordPlan& plan, bool extended, std::vector<std::size_t>& offsets, std::string& notes) {
    testing::MemoFileLayout spec;
    spec.statusOffsets = &offsets;
    CountInHeader(spec, plan.ids.size());
    spec.categories = plan.categories;
    for (std::size_t i = 0; i < plan.ids.size(); ++i) {
        testing::MemoRecordLayout m = testing::MakeMemo(plan.ids[i], plan.statuses[i], RandomText(rng));
        m.placement = static_cast<std::uint32_t>(i * 10);
        m.category = CategoryOf(rng, plan);
        m.priv = Chance(rng, 20) ? 1 : 0;
        if (extended) {
            m.extraTextA = Chance(rng, 20) ? RandomText(rng) : "";
        }
        if (plan.unusual && Chance(rng, 50)) {
            m.intTag = Chance(rng, 50) ? 3 : 6;
            notes += " integer-tags-3-or-6";
        }
        spec.memos.push_back(m);
    }
    return extended ? testing::BuildExtendedMemoFile(spec) : testing::BuildClassicMemoFile(spec);
}

Bytes BuildTasks(Rng& rng, const RecordPlan& plan, bool extended, std::vector<std::size_t>& offsets, std::string& notes) {
    testing::TodoFileLayout spec;
    spec.statusOffsets = &offsets;
    CountInHeader(spec, plan.ids.size());
    spec.categories = plan.categories;
    std::set<std::uint32_t> declared;
    for (std::size_t i = 0; i < plan.ids.size(); ++i) {
        testing::TodoRecordLayout t;
        t.id = plan.ids[i];
        t.status = plan.statuses[i];
        t.placement = static_cast<std::uint32_t>(i);
        t.category = CategoryOf(rng, plan);
        t.priv = Chance(rng, 20) ? 1 : 0;
        t.description = RandomText(rng);
        t.note = RandomText(rng);
        t.dueDate = Chance(rng, 50) ? 1237075200 : 0;
        t.completed = Chance(rng, 30) ? 1 : 0;
        t.priority = static_cast<std::uint32_t>(1 + Below(rng, 5));
        if (extended) {
            t.alarm = Chance(rng, 20) ? 1 : 0;
            t.repeat = RandomRepeat(rng, declared);
        }
        if (plan.unusual && Chance(rng, 50)) {
            t.intTag = Chance(rng, 50) ? 3 : 6;
            notes += " integer-tags-3-or-6";
        }
        if (plan.unusual && Chance(rng, 50)) {
            t.textAttr = 0;
            notes += " text-attribute-0";
        }
        spec.todos.push_back(t);
    }
    return extended ? testing::BuildExtendedTodoFile(spec) : testing::BuildClassicTodoFile(spec);
}

Bytes BuildDates(Rng& rng, const RecordPlan& plan, bool extended, std::vector<std::size_t>& offsets, std::string& notes) {
    testing::DateFileLayout spec;
    spec.statusOffsets = &offsets;
    CountInHeader(spec, plan.ids.size());
    spec.categories = plan.categories;
    std::set<std::uint32_t> declared;
    for (std::size_t i = 0; i < plan.ids.size(); ++i) {
        testing::DateRecordLayout d = testing::MakeDate(plan.ids[i], plan.statuses[i], RandomText(rng));
        d.placement = static_cast<std::uint32_t>(i);
        d.category = CategoryOf(rng, plan);
        d.note = RandomText(rng);
        d.allDay = Chance(rng, 20) ? 1 : 0;
        d.repeat = RandomRepeat(rng, declared);
        if (extended) {
            d.location = Chance(rng, 30) ? RandomText(rng) : "";
        }
        if (plan.unusual && Chance(rng, 50)) {
            d.startTag = Chance(rng, 50) ? 1 : 6;
            d.endTag = d.startTag;
            notes += " date-tags-1-or-6";
        }
        spec.dates.push_back(d);
    }
    return extended ? testing::BuildExtendedDateFile(spec) : testing::BuildClassicDateFile(spec);
}

Bytes BuildContacts(Rng& rng, const RecordPlan& plan, bool extended, std::vector<std::size_t>& offsets) {
    testing::ContactFileLayout spec;
    spec.statusOffsets = &offsets;
    CountInHeader(spec, plan.ids.size());
    spec.categories = plan.categories;
    spec.swapped = Chance(rng, 20);
    for (std::size_t i = 0; i < plan.ids.size(); ++i) {
        testing::ContactRecordLayout c;
        c.id = plan.ids[i];
        c.status = plan.statuses[i];
        c.placement = static_cast<std::uint32_t>(i);
        c.category = CategoryOf(rng, plan);
        c.priv = Chance(rng, 20) ? 1 : 0;
        c.firstName = Chance(rng, 80) ? RandomText(rng).substr(0, 30) : "";
        c.lastName = RandomText(rng).substr(0, 40);
        c.company = Chance(rng, 50) ? RandomText(rng) : "";
        c.note = RandomText(rng);
        c.phones[0] = Chance(rng, 70) ? "+1 503 555 0" + std::to_string(100 + Below(rng, 900)) : "";
        c.custom[0] = Chance(rng, 30) ? RandomText(rng) : "";
        c.addresses[0][1] = Chance(rng, 40) ? "Z\xFCrich" : "";
        spec.contacts.push_back(c);
    }
    return extended ? testing::BuildExtendedAddressFile(spec) : testing::BuildClassicAddressFile(spec);
}

Subject MakeRecordFile(Rng& rng, const std::string& kind, const std::string& generation, bool allowUnusual) {
    Subject s;
    s.szKind = kind;
    s.szGeneration = generation;
    const bool extended = generation == "extended";
    const RecordPlan plan = PlanRecords(rng, allowUnusual);
    std::vector<std::size_t> offsets;
    std::string notes = plan.notes;
    if (kind == "memos") {
        s.szName = "memopad.dat";
        s.original = BuildMemos(rng, plan, extended, offsets, notes);
    } else if (kind == "tasks") {
        s.szName = "todo.dat";
        s.original = BuildTasks(rng, plan, extended, offsets, notes);
    } else if (kind == "calendar") {
        s.szName = "datebook.dat";
        s.original = BuildDates(rng, plan, extended, offsets, notes);
    } else {
        s.szName = "address.dat";
        s.original = BuildContacts(rng, plan, extended, offsets);
    }
    for (std::size_t i = 0; i < plan.ids.size(); ++i) {
        s.records.push_back({plan.ids[i], plan.statuses[i], offsets.at(i)});
        if (ReadU32(s.original, offsets[i]) != plan.statuses[i]) {
            std::cerr << "lazrine-soak: the builder reported a wrong status offset\n";
            std::exit(2);
        }
    }
    // Each unusual thing once.
    std::set<std::string> seen;
    std::istringstream words(notes);
    for (std::string w; words >> w;) {
        if (seen.insert(w).second) {
            s.szNotes += " " + w;
        }
    }
    return s;
}

// The committed databases, with the Status cell of every row of Main found
// in the pages: the table definition is the one whose rows hold every id
// and status that `lazrine-cli list --json` reports, at the row's fixed
// columns Record ID (offset 2) and Status (offset 6).
std::optional<Subject> LoadDatabase(const std::string& kind, std::string& error) {
    static const std::map<std::string, std::string> kFiles = {
        {"contacts", "Address.mdb"}, {"calendar", "DateBook.mdb"}, {"tasks", "Todolist.mdb"}, {"memos", "MemoPad.mdb"}};
    Subject s;
    s.szKind = kind;
    s.szGeneration = "database";
    s.szName = kFiles.at(kind);
    s.original = testing::ReadFileBytes(std::string(LAZRINE_TEST_DATA_DIR) + "/mdb/" + s.szName);
    testing::TempDir scratch;
    const std::string copy = scratch.File(s.szName);
    testing::WriteFileBytes(copy, s.original);
    std::ostringstream out;
    std::ostringstream err;
    cli::CliApp app;
    if (app.Run({"list", kind, copy, "--all", "--json"}, out, err) != 0) {
        error = "cannot list " + s.szName + ": " + err.str();
        return std::nullopt;
    }
    const auto listed = nlohmann::json::parse(out.str());
    constexpr std::size_t kPage = 4096;
    for (std::size_t page = 1; page < s.original.size() / kPage; ++page) {
        if (s.original[page * kPage] != 0x02) {
            continue;
        }
        std::vector<Record> found;
        for (const auto& item : listed.at("records")) {
            testing::JetPageEditor::RowPlace row;
            const auto id = item.at("id").get<std::uint32_t>();
            const auto status = item.at("status").get<std::uint32_t>();
            if (!testing::JetPageEditor::FindRowById(s.original, static_cast<std::uint32_t>(page),
                                                      static_cast<std::int32_t>(id), row) ||
                row.nSize < 10 || ReadU32(s.original, row.nOffset + 6) != status) {
                break;
            }
            found.push_back({id, status, row.nOffset + 6});
        }
        if (!found.empty() && found.size() == listed.at("records").size()) {
            s.records = std::move(found);
            return s;
        }
    }
    error = "no table of " + s.szName + " holds the rows listed";
    return std::nullopt;
}

// ---------------------------------------------------------------------------
// Running undeletes.

struct RunResult {
    bool bExited = false;
    int nCode = -1;     // exit code when exited
    int nSignal = 0;    // signal when killed
    std::string szOut;  // stdout and stderr together
    std::vector<std::string> steps;

    bool Ok() const { return bExited && nCode == 0; }
    bool Crashed() const { return bExited && nCode == FaultInjectingFileIo::kCrashExitCode; }
    std::string Describe() const {
        std::string out = bExited ? "exit " + std::to_string(nCode) : "signal " + std::to_string(nSignal);
        std::string text = szOut;
        std::replace(text.begin(), text.end(), '\n', ' ');
        return out + (text.empty() ? "" : ": " + text.substr(0, 400));
    }
};

RunResult FromWait(int status) {
    RunResult r;
    r.bExited = WIFEXITED(status);
    r.nCode = r.bExited ? WEXITSTATUS(status) : -1;
    r.nSignal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return r;
}

std::string ReadAllFrom(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            return text;
        }
    }
}

// Runs the command line in a forked child through a fault-injecting file
// seam that `arm` sets up; the child's file steps come back with its output.
RunResult RunForked(const std::vector<std::string>& args, const std::function<void(FaultInjectingFileIo&)>& arm) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        std::perror("pipe");
        std::exit(2);
    }
    std::cout.flush();
    std::cerr.flush();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        FaultInjectingFileIo io;
        io.Arm(0);
        arm(io);
        std::ostringstream out;
        int code = 0;
        {
            testing::ScopedFileIo scoped(io);
            cli::CliApp app;
            code = app.Run(args, out, out);
        }
        std::string report = out.str() + '\0';
        for (const std::string& step : io.Log()) {
            report += step + '\n';
        }
        for (std::size_t done = 0; done < report.size();) {
            const ssize_t n = ::write(pipe[1], report.data() + done, report.size() - done);
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        std::_Exit(code);
    }
    ::close(pipe[1]);
    const std::string report = ReadAllFrom(pipe[0]);
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    RunResult r = FromWait(status);
    const std::size_t end = report.find('\0');
    r.szOut = report.substr(0, end);
    if (end != std::string::npos) {
        std::istringstream lines(report.substr(end + 1));
        for (std::string line; std::getline(lines, line);) {
            r.steps.push_back(line);
        }
    }
    return r;
}

// A real lazrine-cli process, its output in `log`.
pid_t Spawn(const std::string& cli, const std::vector<std::string>& args, const std::string& log) {
    std::vector<std::string> argv = {cli};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (std::string& a : argv) {
        raw.push_back(a.data());
    }
    raw.push_back(nullptr);
    std::cout.flush();
    std::cerr.flush();
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        ::execv(cli.c_str(), raw.data());
        std::_Exit(127);
    }
    return child;
}

RunResult Wait(pid_t child, const std::string& log) {
    int status = 0;
    ::waitpid(child, &status, 0);
    RunResult r = FromWait(status);
    if (const auto text = ReadIfThere(log)) {
        r.szOut.assign(text->begin(), text->end());
    }
    return r;
}

std::vector<std::string> UndeleteArgs(const Subject& s, const std::string& path, const std::set<std::uint32_t>& ids,
                                      bool all) {
    std::vector<std::string> args = {"undelete", s.szKind, path};
    if (all) {
        args.push_back("--all-deleted");
    } else {
        for (const std::uint32_t id : ids) {
            args.push_back("--id");
            args.push_back(std::to_string(id));
        }
    }
    return args;
}

// ---------------------------------------------------------------------------
// Invariants.

struct Failure {
    std::string szInvariant;
    std::string szDetail;
};

// How `found` stands to `base` (the original unless given): which records it
// holds undeleted, and the bytes that differ outside their status values.
std::string Explain(const Subject& s, const Bytes& found, const Bytes* base = nullptr) {
    const Bytes& from = base != nullptr ? *base : s.original;
    std::ostringstream out;
    if (found.size() != from.size()) {
        out << "size " << found.size() << " instead of " << from.size() << "; ";
    }
    std::string undeleted;
    std::string other;
    std::set<std::size_t> statusBytes;
    for (const Record& r : s.records) {
        for (std::size_t i = 0; i < 4; ++i) {
            statusBytes.insert(r.nOffset + i);
        }
        if (r.nOffset + 4 > found.size() || r.nOffset + 4 > from.size()) {
            continue;
        }
        const std::uint32_t now = ReadU32(found, r.nOffset);
        if (now == ReadU32(from, r.nOffset)) {
            continue;
        }
        if (IsDeleted(r.nStatus) && now == Undeleted(r.nStatus)) {
            undeleted += " " + std::to_string(r.nId);
        } else {
            other += " " + std::to_string(r.nId) + "=" + Hex(now);
        }
    }
    out << "records undeleted:" << (undeleted.empty() ? " none" : undeleted);
    if (!other.empty()) {
        out << "; status values changed otherwise:" << other;
    }
    std::size_t count = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < std::min(found.size(), from.size()); ++i) {
        if (found[i] != from[i] && statusBytes.count(i) == 0) {
            if (count++ == 0) {
                first = i;
            }
        }
    }
    if (count > 0) {
        out << "; " << count << " bytes changed outside the status values, the first at offset " << first << " ("
            << Hex(from[first]) << " -> " << Hex(found[first]) << ")";
    }
    return out.str();
}

struct Allowed {
    std::string szName;
    Bytes bytes;
};

std::optional<Failure> FileIsOneOf(const Subject& s, const std::string& path, const std::vector<Allowed>& allowed,
                                   const std::string& invariant) {
    const auto found = ReadIfThere(path);
    if (!found) {
        return Failure{invariant, "the data file is missing"};
    }
    std::string names;
    for (const Allowed& a : allowed) {
        if (*found == a.bytes) {
            return std::nullopt;
        }
        names += (names.empty() ? "" : " or ") + a.szName;
    }
    // Against the one allowed file, or the original among several.
    const Bytes* base = allowed.size() == 1 ? &allowed.front().bytes : nullptr;
    return Failure{invariant, "the data file is not " + names + "; against " +
                                  (base != nullptr ? allowed.front().szName : std::string("the original")) + ": " +
                                  Explain(s, *found, base)};
}

std::optional<Failure> BackupIsOriginal(const Subject& s, const std::string& path, bool mayExist = true) {
    const std::string backup = platform::AtomicFile::BackupPathOf(path);
    const auto found = ReadIfThere(backup);
    if (!found) {
        return std::nullopt;
    }
    if (!mayExist) {
        return Failure{"nothing-changed", "a backup was made although the undelete was refused"};
    }
    if (*found != s.original) {
        return Failure{"backup-is-original", "the backup is not the original: " + Explain(s, *found)};
    }
    return std::nullopt;
}

std::vector<std::string> Leftovers(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.size() >= 12 && name.ends_with(platform::AtomicFile::kTempSuffix)) {
            names.push_back(name);
        }
    }
    return names;
}

std::optional<Failure> NoLeftovers(const fs::path& folder, const std::string& when) {
    const auto names = Leftovers(folder);
    if (names.empty()) {
        return std::nullopt;
    }
    std::string list;
    for (const auto& n : names) {
        list += " " + n;
    }
    return Failure{"no-temporary-file-left", when + " left" + list};
}

// ---------------------------------------------------------------------------
// Sessions.

struct Options {
    std::uint64_t nSeed = 0;
    std::optional<std::size_t> sessions;
    std::optional<double> seconds;
    std::optional<std::size_t> only;  // replay of one session
    std::vector<std::string> kinds = kKinds;
    std::vector<std::string> generations = kGenerations;
    std::vector<std::string> disturbances = kDisturbances;
    std::string szCli = LAZRINE_CLI_PATH;
    bool bKeepGoing = false;
    bool bUsualOnly = false;
    bool bVerbose = false;
    std::string szKeep;     // folder for the files of failed sessions
    std::string szFilters;  // as given, for the replay line
};

class Soak {
    // What a clean undelete of a copy did.
    struct DryRun {
        RunResult result;
        Bytes after;  // the file the clean run left
        bool bBackupIsOriginal = true;
        std::vector<std::string> leftovers;
        std::vector<std::string> steps;
        std::size_t nLoadSteps = 0;
        std::uint64_t nBytesWritten = 0;
    };

public:
    explicit Soak(const Options& o) : m_o(o) {}

    // Runs session `number`; a failure names the invariant broken.
    // `refused` tells that the file was refused with a message, untouched,
    // so that no disturbance was tried.
    std::optional<Failure> Run(std::size_t number, std::string& summary, bool& refused) {
        refused = false;
        Rng rng(SessionSeed(number));
        const std::string kind = Pick(rng, m_o.kinds);
        const std::string generation = Pick(rng, m_o.generations);
        const std::string disturbance = Pick(rng, m_o.disturbances);
        const Subject* subject = nullptr;
        Subject generated;
        if (generation == "database") {
            subject = &Database(kind);
        } else {
            generated = MakeRecordFile(rng, kind, generation, !m_o.bUsualOnly);
            subject = &generated;
        }
        const Subject& s = *subject;
        // The records to bring back: some of the deleted ones, or all.
        const std::vector<std::uint32_t> deleted = s.DeletedIds();
        const bool all = Chance(rng, 20);
        std::set<std::uint32_t> chosen;
        if (all) {
            chosen.insert(deleted.begin(), deleted.end());
        } else {
            const std::size_t count = 1 + Below(rng, deleted.size());
            while (chosen.size() < count) {
                chosen.insert(Pick(rng, deleted));
            }
        }
        testing::TempDir folder;
        const std::string path = folder.File(s.szName);
        testing::WriteFileBytes(path, s.original);
        m_szWhat.clear();
        summary = kind + " " + generation + " (" + std::to_string(s.records.size()) + " records" + s.szNotes + ") " +
                  disturbance + ", undelete " + (all ? "--all-deleted" : IdText(chosen));

        // A clean undelete of a copy first: it counts the file steps the
        // disturbances pick from, and must itself keep the promise.
        const DryRun dry = Dry(s, chosen, all);
        if (m_o.bVerbose && m_o.only) {
            for (std::size_t k = 1; k <= dry.steps.size(); ++k) {
                std::cout << "  step " << k << (k <= dry.nLoadSteps ? " (load)" : "") << ": " << dry.steps[k - 1] << "\n";
            }
        }
        if (auto f = CheckClean(s, dry, chosen)) {
            Keep(number, s, chosen, dry, folder.Path());
            return f;
        }
        if (!dry.result.Ok()) {
            refused = true;
            summary += ": refused by the clean run (" + dry.result.Describe() + ")";
            return std::nullopt;
        }
        std::optional<Failure> failure;
        bool recover = true;
        std::set<std::uint32_t> expectedIds = chosen;
        if (disturbance == "crash") {
            failure = Crash(rng, dry, s, path, chosen, all);
        } else if (disturbance == "kill") {
            failure = Kill(rng, s, path, chosen, all);
        } else if (disturbance == "lock") {
            failure = Lock(rng, s, path, chosen, all);
        } else if (disturbance == "writer") {
            failure = Writer(rng, dry, s, path, chosen, all);
            recover = false;
        } else if (disturbance == "twin") {
            failure = Twin(rng, s, path, chosen, expectedIds);
        } else {
            failure = DiskFull(rng, dry, s, path, chosen, all);
        }
        summary += m_szWhat;
        if (!failure && recover) {
            failure = Recover(s, path, expectedIds);
        }
        if (!failure) {
            failure = NoLeftovers(folder.Path(), "the session");
        }
        if (failure) {
            Keep(number, s, chosen, dry, folder.Path());
        }
        return failure;
    }

private:
    std::uint64_t SessionSeed(std::size_t number) const {
        // splitmix64 of seed and session: sessions are independent of each
        // other, so any one of them replays alone.
        std::uint64_t z = m_o.nSeed + 0x9E3779B97F4A7C15ull * (number + 1);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // With --keep DIR: the files of a failed session, for a closer look:
    // original, expected, what a clean undelete gave, and the session folder.
    void Keep(std::size_t number, const Subject& s, const std::set<std::uint32_t>& chosen, const DryRun& dry,
              const fs::path& folder) const {
        if (m_o.szKeep.empty()) {
            return;
        }
        const fs::path into = fs::path(m_o.szKeep) / ("session-" + std::to_string(number));
        std::error_code ec;
        fs::remove_all(into, ec);
        fs::create_directories(into / "folder", ec);
        testing::WriteFileBytes((into / "original").string(), s.original);
        testing::WriteFileBytes((into / "expected").string(), s.With(chosen));
        testing::WriteFileBytes((into / "clean-undelete").string(), dry.after);
        fs::copy(folder, into / "folder", fs::copy_options::recursive, ec);
        std::cout << "  kept in " << into.string() << std::endl;
    }

    static std::string IdText(const std::set<std::uint32_t>& ids) {
        std::string text;
        for (const auto id : ids) {
            text += (text.empty() ? "" : ",") + std::to_string(id);
        }
        return "--id " + text;
    }

    const Subject& Database(const std::string& kind) {
        auto it = m_databases.find(kind);
        if (it == m_databases.end()) {
            std::string error;
            auto loaded = LoadDatabase(kind, error);
            if (!loaded) {
                std::cerr << "lazrine-soak: " << error << "\n";
                std::exit(2);
            }
            it = m_databases.emplace(kind, std::move(*loaded)).first;
        }
        return it->second;
    }

    // The steps a clean undelete of a copy of `s` takes, and the steps of
    // loading alone (what `list` takes), in a scratch folder.
    DryRun Dry(const Subject& s, const std::set<std::uint32_t>& chosen, bool all) {
        testing::TempDir scratch;
        const std::string path = scratch.File(s.szName);
        testing::WriteFileBytes(path, s.original);
        DryRun dry;
        dry.nLoadSteps = RunForked({"list", s.szKind, path}, [](FaultInjectingFileIo&) {}).steps.size();
        dry.result = RunForked(UndeleteArgs(s, path, chosen, all), [](FaultInjectingFileIo&) {});
        dry.steps = dry.result.steps;
        dry.after = testing::ReadFileBytes(path);
        const auto backup = ReadIfThere(platform::AtomicFile::BackupPathOf(path));
        dry.bBackupIsOriginal = !backup || *backup == s.original;
        dry.leftovers = Leftovers(scratch.Path());
        for (const std::string& step : dry.steps) {
            if (step.rfind("Write ", 0) == 0) {
                dry.nBytesWritten += std::stoull(step.substr(6));
            }
        }
        return dry;
    }

    // A clean undelete gives the expected file, or is refused with a reason
    // and changes nothing.
    static std::optional<Failure> CheckClean(const Subject& s, const DryRun& dry, const std::set<std::uint32_t>& chosen) {
        if (!dry.leftovers.empty()) {
            return Failure{"no-temporary-file-left", "a clean undelete left " + dry.leftovers.front()};
        }
        if (!dry.bBackupIsOriginal) {
            return Failure{"backup-is-original", "the backup of a clean undelete is not the original"};
        }
        if (dry.result.Ok()) {
            if (dry.after != s.With(chosen)) {
                return Failure{"clean-undelete-changes-only-status-words",
                               "a clean undelete, without disturbance, did not give the expected file: " +
                                   Explain(s, dry.after)};
            }
            return std::nullopt;
        }
        if (!dry.result.bExited || dry.result.szOut.empty()) {
            return Failure{"failure-says-why", "a clean undelete failed without a message: " + dry.result.Describe()};
        }
        if (dry.after != s.original) {
            return Failure{"failure-leaves-original",
                           "a clean undelete failed (" + dry.result.Describe() + ") and changed the file: " +
                               Explain(s, dry.after)};
        }
        return std::nullopt;
    }

    // A database undelete cut short leaves its journal beside the file; the
    // next run that opens the database puts the cells back, and that is the
    // state the user meets.
    static void RecoverInterrupted(const Subject& s, const std::string& path) {
        if (std::filesystem::exists(path + ".lazrine-journal")) {
            RunForked({"list", s.szKind, path}, [](FaultInjectingFileIo&) {});
        }
    }

    static std::set<std::uint32_t> IdSet(const std::vector<std::uint32_t>& ids) { return {ids.begin(), ids.end()}; }

    static std::string StepText(const DryRun& dry, std::size_t k) {
        return "step " + std::to_string(k) + " of " + std::to_string(dry.steps.size()) +
               (k >= 1 && k <= dry.steps.size() ? " (" + dry.steps[k - 1] + ")" : "");
    }

    // (1) The process ends at once before the k-th file step of the save.
    std::optional<Failure> Crash(Rng& rng, const DryRun& dry, const Subject& s, const std::string& path,
                                 const std::set<std::uint32_t>& chosen, bool all) {
        const std::size_t k = 1 + Below(rng, dry.steps.size());
        m_szWhat = ": crash before " + StepText(dry, k);
        const RunResult r = RunForked(UndeleteArgs(s, path, chosen, all), [k](FaultInjectingFileIo& io) {
            io.Arm(k, Fault::kCrash);
        });
        if (!r.Crashed() && !r.Ok()) {
            return Failure{"clean-run-succeeds", "the run before the crash step failed: " + r.Describe()};
        }
        RecoverInterrupted(s, path);
        std::vector<Allowed> allowed = {{"the expected file", s.With(chosen)}};
        if (r.Crashed()) {
            allowed.insert(allowed.begin(), {"the original", s.original});
        }
        if (auto f = FileIsOneOf(s, path, allowed, "after-crash-original-or-expected")) {
            return f;
        }
        return BackupIsOriginal(s, path);
    }

    // (2) A real lazrine-cli killed with SIGKILL after a random delay.
    std::optional<Failure> Kill(Rng& rng, const Subject& s, const std::string& path,
                                const std::set<std::uint32_t>& chosen, bool all) {
        const double span = CleanRunSeconds(s, chosen, all);
        const auto delay = std::chrono::microseconds(
            static_cast<std::int64_t>(1e6 * span * 1.2 * static_cast<double>(Below(rng, 1001)) / 1000.0));
        m_szWhat = ": SIGKILL after " + std::to_string(delay.count()) + " us (a clean run takes " +
                   std::to_string(static_cast<std::int64_t>(span * 1e6)) + " us)";
        testing::TempDir logs;
        const pid_t child = Spawn(m_o.szCli, UndeleteArgs(s, path, chosen, all), logs.File("out"));
        std::this_thread::sleep_for(delay);
        ::kill(child, SIGKILL);
        const RunResult r = Wait(child, logs.File("out"));
        if (r.bExited && r.nCode != 0) {
            return Failure{"clean-run-succeeds", "the run killed late failed: " + r.Describe()};
        }
        RecoverInterrupted(s, path);
        std::vector<Allowed> allowed = {{"the expected file", s.With(chosen)}};
        if (!r.bExited) {
            allowed.insert(allowed.begin(), {"the original", s.original});
        }
        if (auto f = FileIsOneOf(s, path, allowed, "after-kill-original-or-expected")) {
            f->szDetail += " (" + r.Describe() + ")";
            return f;
        }
        return BackupIsOriginal(s, path);
    }

    double CleanRunSeconds(const Subject& s, const std::set<std::uint32_t>& chosen, bool all) {
        const std::string key = s.szKind + "/" + s.szGeneration;
        auto it = m_cleanRun.find(key);
        if (it != m_cleanRun.end()) {
            return it->second;
        }
        testing::TempDir scratch;
        const std::string path = scratch.File(s.szName);
        testing::WriteFileBytes(path, s.original);
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = Spawn(m_o.szCli, UndeleteArgs(s, path, chosen, all), scratch.File("out"));
        Wait(child, scratch.File("out"));
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        m_cleanRun[key] = seconds;
        return seconds;
    }

    // (3) Another program holds a lock on the file (or the database's lock
    // file): the undelete is refused and nothing changes.
    std::optional<Failure> Lock(Rng& rng, const Subject& s, const std::string& path,
                                const std::set<std::uint32_t>& chosen, bool all) {
        using Kind = testing::ForeignLock::Kind;
        static const std::vector<std::pair<Kind, std::string>> kLocks = {{Kind::kRecordWrite, "POSIX write lock"},
                                                                         {Kind::kRecordRead, "POSIX read lock"},
                                                                         {Kind::kWholeFile, "flock"},
                                                                         {Kind::kOpenFileWrite, "OFD write lock"}};
        const auto& [lockKind, lockName] = Pick(rng, kLocks);
        std::string target = path;
        if (s.szGeneration == "database" && Chance(rng, 50)) {
            // Access keeps "X.ldb" beside "X.mdb" while it has the file open.
            target = path.substr(0, path.size() - 4) + (Chance(rng, 50) ? ".ldb" : ".LDB");
            testing::WriteFileBytes(target, Bytes(64, 0));
        }
        std::int64_t start = 0;
        std::int64_t length = 0;
        if (lockKind != Kind::kWholeFile && Chance(rng, 60)) {
            start = static_cast<std::int64_t>(Below(rng, s.original.size()));
            length = static_cast<std::int64_t>(1 + Below(rng, 64));
        }
        m_szWhat = ": " + lockName + " on " + fs::path(target).filename().string() +
                   (length != 0 ? " bytes " + std::to_string(start) + "+" + std::to_string(length) : "");
        RunResult r;
        {
            testing::ForeignLock lock(target, lockKind, start, length);
            if (!lock.Held()) {
                return Failure{"setup", "cannot take the " + lockName};
            }
            r = RunForked(UndeleteArgs(s, path, chosen, all), [](FaultInjectingFileIo&) {});
        }
        if (r.Ok()) {
            return Failure{"locked-file-refused", "the undelete ran although the file was locked: " + r.Describe()};
        }
        if (!r.bExited || r.szOut.find(platform::FileIo::InUseText("")) == std::string::npos) {
            return Failure{"failure-says-why", "the refusal does not say that another program uses the file: " +
                                                   r.Describe()};
        }
        if (auto f = FileIsOneOf(s, path, {{"the original", s.original}}, "locked-file-unchanged")) {
            return f;
        }
        if (auto f = BackupIsOriginal(s, path, false)) {
            return f;
        }
        return NoLeftovers(fs::path(path).parent_path(), "the refused undelete");
    }

    // (4) Another program writes the file at a random step of our save,
    // ignoring locks, as a sync tool would: in place, truncated and
    // rewritten, or by renaming its own file over ours. Its bytes must win.
    std::optional<Failure> Writer(Rng& rng, const DryRun& dry, const Subject& s, const std::string& path,
                                  const std::set<std::uint32_t>& chosen, bool all) {
        if (dry.steps.size() <= dry.nLoadSteps) {
            return Failure{"setup", "the save takes no steps after the load"};
        }
        // A lock that others ignore leaves one window no check can close:
        // between our last look at the file and the step that commits (the
        // rename of the new file, or a cell's write in place). A write there
        // cannot be told from one just after it, so those steps are not
        // drawn.
        std::vector<std::size_t> drawable;
        for (std::size_t k = dry.nLoadSteps + 1; k <= dry.steps.size(); ++k) {
            if (!InFinalWindow(dry.steps, path, k)) {
                drawable.push_back(k);
            }
        }
        const std::size_t k = Pick(rng, drawable);
        Bytes theirs = s.original;
        const int how = static_cast<int>(Below(rng, 3));
        if (how == 1) {
            theirs.resize(theirs.size() + 1 + Below(rng, 100), 0x5A);
        }
        const std::size_t at = Below(rng, s.original.size());
        for (std::size_t i = at; i < std::min(theirs.size(), at + 1 + Below(rng, 32)); ++i) {
            theirs[i] = static_cast<std::uint8_t>(theirs[i] ^ (1 + Below(rng, 255)));
        }
        static const char* const kHow[] = {"rewrites it in place", "truncates and rewrites it",
                                           "renames its own file over it"};
        m_szWhat = ": another program " + std::string(kHow[how]) + " before save " + StepText(dry, k);
        const std::string mine = fs::path(path).parent_path() / "sync-tool.tmp";
        const RunResult r = RunForked(UndeleteArgs(s, path, chosen, all), [&](FaultInjectingFileIo& io) {
            io.OnCall([&](const std::string&) { OtherWriter(path, mine, theirs, how); });
            io.Arm(k, Fault::kCall);
        });
        std::vector<Allowed> allowed = {{"what the other program wrote", theirs}};
        if (s.szGeneration == "database" && r.Ok()) {
            // A database is changed cell by cell where it lies: a change
            // another program made elsewhere in it stays, beside ours in the
            // Status cells that still held what we loaded.
            allowed.push_back({"what the other program wrote, with our Status cells",
                               s.WithOn(theirs, all ? IdSet(s.DeletedIds()) : chosen)});
        }
        if (auto f = FileIsOneOf(s, path, allowed, "other-writer-kept")) {
            f->szDetail += " (undelete: " + r.Describe() + ")";
            return f;
        }
        if (auto f = BackupIsOriginal(s, path)) {
            return f;
        }
        return NoLeftovers(fs::path(path).parent_path(), "the undelete beside another writer");
    }

    // Whether step `k` (1-based) lies between the last check of a save and
    // the step that commits it: from the step after the backup's last step
    // to the rename of the new file over `path`, or a write in place.
    static bool InFinalWindow(const std::vector<std::string>& steps, const std::string& path, std::size_t k) {
        if (steps[k - 1].rfind("WriteAt", 0) == 0) {
            return true;
        }
        // The clean run whose steps these are worked on a copy elsewhere:
        // the data file's rename is the one of a new file that is no backup.
        const std::string name = std::filesystem::path(path).filename().string();
        const std::string tail = name + ".lazrine-new -> ";
        for (std::size_t r = k; r <= steps.size(); ++r) {
            const std::string& step = steps[r - 1];
            if (step.rfind("Rename ", 0) == 0 && step.find(tail) != std::string::npos &&
                step.find(".lazrine.bak") == std::string::npos) {
                for (std::size_t i = k; i < r; ++i) {
                    if (steps[i - 1].find(".lazrine") != std::string::npos) {
                        return false;
                    }
                }
                return true;
            }
        }
        return false;
    }

    // The other program is another process: its plain writes know nothing
    // of our locks.
    static void OtherWriter(const std::string& path, const std::string& mine, const Bytes& theirs, int how) {
        const pid_t child = ::fork();
        if (child == 0) {
            bool ok = false;
            if (how == 2) {
                const int fd = ::open(mine.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                ok = fd >= 0 && ::write(fd, theirs.data(), theirs.size()) == static_cast<ssize_t>(theirs.size());
                ok = fd >= 0 && ::close(fd) == 0 && ok && ::rename(mine.c_str(), path.c_str()) == 0;
            } else {
                const int fd = ::open(path.c_str(), O_WRONLY | (how == 1 ? O_TRUNC : 0));
                ok = fd >= 0 && ::pwrite(fd, theirs.data(), theirs.size(), 0) == static_cast<ssize_t>(theirs.size());
                ok = fd >= 0 && ::close(fd) == 0 && ok;
            }
            std::_Exit(ok ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
    }

    // (5) Two lazrine-cli processes at once on the same file, with disjoint
    // or overlapping ids: the file holds the changes of those that
    // succeeded, and nothing of those that failed.
    std::optional<Failure> Twin(Rng& rng, const Subject& s, const std::string& path,
                                const std::set<std::uint32_t>& chosen, std::set<std::uint32_t>& expectedIds) {
        const std::vector<std::uint32_t> deleted = s.DeletedIds();
        std::set<std::uint32_t> second;
        const bool secondAll = Chance(rng, 20);
        if (secondAll) {
            second.insert(deleted.begin(), deleted.end());
        } else {
            const std::size_t count = 1 + Below(rng, deleted.size());
            while (second.size() < count) {
                second.insert(Pick(rng, deleted));
            }
        }
        const auto gap = std::chrono::microseconds(Below(rng, 3) == 0 ? 0 : Below(rng, 20000));
        m_szWhat = ": a second process undeletes " + (secondAll ? std::string("--all-deleted") : IdText(second)) +
                   " " + std::to_string(gap.count()) + " us later";
        testing::TempDir logs;
        const pid_t a = Spawn(m_o.szCli, UndeleteArgs(s, path, chosen, false), logs.File("a"));
        std::this_thread::sleep_for(gap);
        const pid_t b = Spawn(m_o.szCli, UndeleteArgs(s, path, second, secondAll), logs.File("b"));
        const RunResult ra = Wait(a, logs.File("a"));
        const RunResult rb = Wait(b, logs.File("b"));
        m_szWhat += " (first: " + ra.Describe() + "; second: " + rb.Describe() + ")";
        std::set<std::uint32_t> done;
        using Run = std::pair<const RunResult*, const std::set<std::uint32_t>*>;
        for (const auto& [r, ids] : {Run{&ra, &chosen}, Run{&rb, &second}}) {
            if (r->Ok()) {
                done.insert(ids->begin(), ids->end());
            } else if (!r->bExited || r->szOut.empty()) {
                return Failure{"failure-says-why", "an undelete failed without a message: " + r->Describe()};
            }
        }
        if (auto f = FileIsOneOf(s, path, {{"the original with the successful undeletes", s.With(done)}},
                                 "two-processes-changes-of-successful-only")) {
            return f;
        }
        if (auto f = BackupIsOriginal(s, path)) {
            return f;
        }
        expectedIds = chosen;
        expectedIds.insert(second.begin(), second.end());
        return NoLeftovers(fs::path(path).parent_path(), "two undeletes at once");
    }

    // (6) The disk fills up: a byte budget for all writes, or a short write
    // at one step.
    std::optional<Failure> DiskFull(Rng& rng, const DryRun& dry, const Subject& s, const std::string& path,
                                    const std::set<std::uint32_t>& chosen, bool all) {
        std::size_t k = 0;
        std::uint64_t space = 0;
        if (Chance(rng, 50) && dry.nBytesWritten > 0) {
            space = Below(rng, static_cast<std::size_t>(dry.nBytesWritten));
            m_szWhat = ": the disk holds " + std::to_string(space) + " of the " + std::to_string(dry.nBytesWritten) +
                       " bytes the save writes";
        } else {
            k = 1 + Below(rng, dry.steps.size());
            m_szWhat = ": the disk is full at " + StepText(dry, k);
        }
        const RunResult r = RunForked(UndeleteArgs(s, path, chosen, all), [k, space](FaultInjectingFileIo& io) {
            if (k != 0) {
                io.Arm(k, Fault::kDiskFull);
            } else {
                io.LimitSpace(space);
            }
        });
        const Bytes expected = s.With(chosen);
        if (r.Ok()) {
            if (auto f = FileIsOneOf(s, path, {{"the expected file", expected}}, "success-gives-expected")) {
                return f;
            }
        } else {
            if (!r.bExited || r.szOut.empty()) {
                return Failure{"failure-says-why", "the undelete failed without a message: " + r.Describe()};
            }
            const auto found = ReadIfThere(path);
            const bool replaced = found && *found == expected;
            if (replaced && r.szOut.find("replaced") == std::string::npos) {
                return Failure{"failure-leaves-original", "the undelete failed (" + r.Describe() +
                                                              ") but the file was changed without saying so"};
            }
            if (!replaced) {
                if (auto f = FileIsOneOf(s, path, {{"the original", s.original}}, "failure-leaves-original")) {
                    f->szDetail += " (undelete: " + r.Describe() + ")";
                    return f;
                }
            }
        }
        if (auto f = BackupIsOriginal(s, path)) {
            return f;
        }
        return NoLeftovers(fs::path(path).parent_path(), "the undelete on a full disk");
    }

    // An undelete without disturbance of the records still deleted among
    // `ids` finishes the job: the expected file, a backup that is the
    // original, no temporary file.
    std::optional<Failure> Recover(const Subject& s, const std::string& path, const std::set<std::uint32_t>& ids) {
        const auto found = ReadIfThere(path);
        if (!found || found->size() != s.original.size()) {
            return Failure{"recovery", "the data file is missing or resized before the recovery run"};
        }
        std::set<std::uint32_t> remaining;
        for (const Record& r : s.records) {
            if (ids.count(r.nId) != 0 && IsDeleted(r.nStatus) && ReadU32(*found, r.nOffset) == r.nStatus) {
                remaining.insert(r.nId);
            }
        }
        if (!remaining.empty()) {
            const RunResult r = RunForked(UndeleteArgs(s, path, remaining, false), [](FaultInjectingFileIo&) {});
            if (!r.Ok()) {
                return Failure{"next-undelete-succeeds", "the undelete of " + IdText(remaining) +
                                                             " after the disturbance failed: " + r.Describe()};
            }
        }
        if (auto f = FileIsOneOf(s, path, {{"the expected file", s.With(ids)}}, "next-undelete-gives-expected")) {
            return f;
        }
        return BackupIsOriginal(s, path);
    }

    Options m_o;
    std::map<std::string, Subject> m_databases;
    std::map<std::string, double> m_cleanRun;
    std::string m_szWhat;  // what the disturbance did, for the report
};

// ---------------------------------------------------------------------------

std::vector<std::string> SplitList(const std::string& text, const std::vector<std::string>& known,
                                   const std::string& what) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');) {
        if (std::find(known.begin(), known.end(), item) == known.end()) {
            std::string names;
            for (const auto& k : known) {
                names += " " + k;
            }
            std::cerr << "lazrine-soak: unknown " << what << " '" << item << "'; choose from" << names << "\n";
            std::exit(2);
        }
        out.push_back(item);
    }
    if (out.empty()) {
        std::cerr << "lazrine-soak: no " << what << " given\n";
        std::exit(2);
    }
    return out;
}

[[noreturn]] void Usage(int code) {
    (code == 0 ? std::cout : std::cerr)
        << "usage: lazrine-soak [--seed N] [--sessions N] [--seconds S] [--session K]\n"
           "                    [--kinds contacts,calendar,tasks,memos] [--generations classic,extended,database]\n"
           "                    [--disturbances crash,kill,lock,writer,twin,diskfull]\n"
           "                    [--usual-only] [--keep-going] [--keep DIR] [--verbose] [--cli PATH]\n"
           "Runs random undelete sessions under disturbance and checks that the data file only ever\n"
           "holds the original, the expected result or another program's bytes. Without a bound it\n"
           "runs for 60 seconds. --session K replays session K of the seed (same filters).\n";
    std::exit(code);
}

Options Parse(int argc, char** argv) {
    Options o;
    o.nSeed = std::random_device{}() ^ (static_cast<std::uint64_t>(std::random_device{}()) << 32);
    o.nSeed %= 1000000000000ull;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                Usage(2);
            }
            return argv[++i];
        };
        const auto filter = [&](const std::string& v) { o.szFilters += " " + arg + " " + v; };
        if (arg == "--seed") {
            o.nSeed = std::stoull(value());
        } else if (arg == "--sessions") {
            o.sessions = std::stoull(value());
        } else if (arg == "--seconds") {
            o.seconds = std::stod(value());
        } else if (arg == "--session") {
            o.only = std::stoull(value());
        } else if (arg == "--kinds") {
            const std::string v = value();
            o.kinds = SplitList(v, kKinds, "kind");
            filter(v);
        } else if (arg == "--generations") {
            const std::string v = value();
            o.generations = SplitList(v, kGenerations, "generation");
            filter(v);
        } else if (arg == "--disturbances") {
            const std::string v = value();
            o.disturbances = SplitList(v, kDisturbances, "disturbance");
            filter(v);
        } else if (arg == "--usual-only") {
            o.bUsualOnly = true;
            o.szFilters += " --usual-only";
        } else if (arg == "--keep-going") {
            o.bKeepGoing = true;
        } else if (arg == "--verbose") {
            o.bVerbose = true;
        } else if (arg == "--keep") {
            o.szKeep = value();
        } else if (arg == "--cli") {
            o.szCli = value();
        } else if (arg == "--help" || arg == "-h") {
            Usage(0);
        } else {
            std::cerr << "lazrine-soak: unknown option " << arg << "\n";
            Usage(2);
        }
    }
    if (!o.sessions && !o.seconds) {
        o.seconds = 60;
    }
    return o;
}

int Main(int argc, char** argv) {
    Options o;
    try {
        o = Parse(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "lazrine-soak: " << e.what() << " in the options\n";
        Usage(2);
    }
    std::cout << "seed=" << o.nSeed << std::endl;
    // A child killed while we write to its pipe must not end the soak.
    ::signal(SIGPIPE, SIG_IGN);
    Soak soak(o);
    const auto start = std::chrono::steady_clock::now();
    std::size_t sessions = 0;
    // Per invariant broken: how often, and the first session that broke it.
    std::map<std::string, std::pair<std::size_t, std::size_t>> failures;
    // A long run that keeps going reports the first few failures of each
    // invariant in full, the rest only in the count.
    constexpr std::size_t kDetailsPerInvariant = 5;
    std::size_t failed = 0;
    std::size_t refused = 0;
    for (std::size_t number = o.only.value_or(0);; ++number) {
        if (o.only && number != *o.only) {
            break;
        }
        if (o.sessions && sessions >= *o.sessions) {
            break;
        }
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!o.only && o.seconds && elapsed >= *o.seconds) {
            break;
        }
        std::string summary;
        bool wasRefused = false;
        const auto failure = soak.Run(number, summary, wasRefused);
        ++sessions;
        refused += wasRefused ? 1 : 0;
        if (o.bVerbose || o.only) {
            std::cout << "session " << number << ": " << summary << (failure ? "" : ": ok") << std::endl;
        }
        if (failure) {
            ++failed;
            auto& [count, first] = failures[failure->szInvariant];
            if (count++ == 0) {
                first = number;
            }
            if (count > kDetailsPerInvariant) {
                continue;
            }
            std::cout << "FAILED seed=" << o.nSeed << " session=" << number << " invariant=" << failure->szInvariant
                      << "\n  session: " << summary << "\n  found: " << failure->szDetail
                      << "\n  replay: lazrine-soak --seed " << o.nSeed << " --session " << number << o.szFilters
                      << std::endl;
            if (!o.bKeepGoing) {
                break;
            }
        }
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "seed=" << o.nSeed << ": " << sessions << " sessions in " << static_cast<int>(elapsed) << " s, "
              << failed << " failed, " << refused << " refused with a message and untouched" << std::endl;
    for (const auto& [invariant, counted] : failures) {
        std::cout << "  " << invariant << ": " << counted.first << " sessions, the first " << counted.second
                  << std::endl;
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace lazrine::soak

int main(int argc, char** argv) { return lazrine::soak::Main(argc, argv); }
