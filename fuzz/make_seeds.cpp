// Writes the seed corpus of every fuzz target, built from the independent
// test-file builder, into <folder>/<target>/.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/FakeWinePrefix.h"
#include "support/PalmFileBuilder.h"
#include "support/PalmPdbBuilder.h"

namespace {

using lazrine::testing::BlobField;
using lazrine::testing::CategoryEntry;
using lazrine::testing::MemoFileLayout;
using lazrine::testing::MemoRecordLayout;
using lazrine::testing::PalmFileBuilder;
using Bytes = std::vector<std::uint8_t>;

std::vector<MemoFileLayout> MemoFiles() {
    std::vector<MemoFileLayout> files;
    files.emplace_back();  // no records, no categories

    MemoFileLayout one;
    one.categories = {{1, 1, 0, "Business", "Business"}, {5, 7, 1, "Work/Home", "x"}};
    one.memos.push_back({.id = 1, .status = 0x04, .category = 7, .text = "Milk\r\n\"eggs\"\r\n\xE9t\xE9"});
    files.push_back(one);

    MemoFileLayout blobs = one;
    MemoRecordLayout m;
    m.id = 2;
    m.status = 0x80;
    m.priv = 1;
    m.text = std::string(300, 'x');
    m.extraTextA = "a";
    m.extraTextB = "b";
    m.blobs = {BlobField{64, 0, 0, 0, {}}, BlobField{65, 2, 9, 8, {1, 2, 3}}, BlobField{66, 1, 0, 0, {}},
               BlobField{67, 5, 0, 0, {9, 8, 7, 6, 5}}};
    blobs.memos.push_back(m);
    m.id = 3;
    m.status = 0x01;
    m.intTag = 3;
    m.text = std::string(254, '\xFF');
    blobs.memos.push_back(m);
    files.push_back(blobs);

    MemoFileLayout odd = blobs;
    odd.overrideEntryCount = true;
    odd.entryCount = 13;
    odd.fieldsPerRecord = 6;
    files.push_back(odd);

    MemoFileLayout full;
    for (std::uint32_t i = 1; i <= 15; ++i) {
        full.categories.push_back({i, 100 + i, i % 2, "Cat" + std::to_string(i), ""});
    }
    full.memos.push_back({.id = 9, .category = 105, .text = std::string(9000, 'q')});
    files.push_back(full);
    return files;
}

std::vector<lazrine::testing::ContactFileLayout> ContactFiles() {
    using lazrine::testing::ContactFileLayout;
    using lazrine::testing::ContactRecordLayout;
    std::vector<ContactFileLayout> files;
    files.emplace_back();  // no contacts

    ContactFileLayout rich;
    rich.categories = {{1, 3, 0, "Clients", "Clients"}};
    rich.customLabels = {"Birthday", "Spouse", "", "", "", "", "", "", std::string(40, 'L')};
    rich.customLabelValues[0] = 7;
    rich.headerText = "Palm Address\r\n1\n2\n3\n4\n5\n";
    ContactRecordLayout c;
    c.id = 5;
    c.status = 0x04;
    c.category = 3;
    c.firstName = "Ren\xe9" "e";
    c.lastName = "D'Angelo";
    c.company = std::string(300, 'c');
    c.note = "two\r\nlines";
    c.phones = {"555-0100", "renee@example.com", "", "555", "", "9", "m"};
    c.phoneLabels = {0, 4, 1, 6, 3, 9, 7};
    c.custom[8] = "custom nine";
    c.addresses[1] = {"Home St", "City", "ST", "1000", "CH"};
    c.birthday = {1, 2, 3, 4, 5, 6, 7, 8};
    c.blobs[1] = {65, 2, 7, 8, {1, 2, 3}};
    rich.contacts = {c, c};
    rich.contacts[1].id = 6;
    rich.contacts[1].status = 0x80;
    files.push_back(rich);

    ContactFileLayout swapped = rich;
    swapped.swapped = true;
    swapped.overrideEntryCount = true;
    swapped.entryCount = 75;
    files.push_back(swapped);
    return files;
}

// An empty to-do list, and tasks with every priority, a due date or none,
// a repeat, odd tags and long texts.
std::vector<lazrine::testing::TodoFileLayout> TodoFiles() {
    using lazrine::testing::TodoRecordLayout;
    std::vector<lazrine::testing::TodoFileLayout> files(2);
    files[1].categories = {{1, 4, 0, "Home", "Home"}};
    TodoRecordLayout plain;
    plain.id = 3;
    plain.status = 0x04;
    plain.category = 4;
    plain.description = "Call Ren\xe9" "e";
    plain.note = "two\r\nlines";
    plain.dueDate = 1230768000;
    TodoRecordLayout rich = plain;
    rich.id = 4;
    rich.status = 0x80;
    rich.priority = 5;
    rich.completed = 1;
    rich.dueDate = 0xFFFFFFFF;
    rich.description = std::string(300, 'd');
    rich.note = std::string(9000, 'n');
    rich.alarm = 1;
    rich.blobs[1] = {65, 2, 7, 8, {1, 2, 3}};
    rich.extraTextA = "a";
    rich.repeat = lazrine::testing::MakeRepeat(2, {1231372800});
    rich.intTag = 3;
    rich.flagTag = 1;
    files[1].todos = {plain, rich};
    return files;
}

// An empty date book, one appointment, and one of everything.
std::vector<lazrine::testing::DateFileLayout> DateFiles() {
    std::vector<lazrine::testing::DateFileLayout> files(2);
    files[1].dates.push_back(lazrine::testing::MakeDate(1, 0x04, "Lunch\r\n\xE9"));
    files.push_back(lazrine::testing::RichDateFileLayout());
    return files;
}

Bytes CategorySection(const MemoFileLayout& spec) {
    PalmFileBuilder b;
    b.U32(spec.nextCategoryId).U32(static_cast<std::uint32_t>(spec.categories.size()));
    for (const CategoryEntry& c : spec.categories) {
        b.U32(c.index).U32(c.id).U32(c.dirty).CString(c.name).CString(c.second);
    }
    return b.Bytes();
}

const std::vector<std::string> kStatements = {
    "SELECT [Record ID], [Status], [Placement], [Private], [Category], [Note], [Blob] FROM Main",
    "SELECT [ID], [Name] FROM [Category] WHERE [Status] = 0",
    "UPDATE Main SET [Status]=1, [Private]=0 WHERE [Record ID] = 1010 AND [Note] = 'O''Brien ''x'' OR ''1''=''1'",
    "UPDATE Main SET [Status]=-2147483648 WHERE [Note] = ''",
    "INSERT INTO Main ([Record ID], [Note], [Blob]) VALUES (4294967295, 'two\r\nlines', 0x00FF)",
    "delete from Main where [Record ID] = 7",
};

const std::vector<std::string> kHives = {
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n#arch=win64\n\n"
    "[Software\\\\U.S. Robotics\\\\Pilot Desktop\\\\Core] 1700000000\r\n#time=1d9\n"
    "\"DesktopPath\"=\"C:\\\\Program Files\\\\Palm\"\n\"HotSyncPath\"=str(2):\"%ProgramFiles%\\\\Palm\"\n"
    "\"Latin\"=\"Jos\\xe9 \\x20ac\\101\\0B\"\n@=hex:41,42,00,43\n\"Number\"=dword:0000002a\n\n"
    "[Software\\\\PalmSource\\\\Desktop\\\\Core] 1700000001\n\"DesktopPath\"=\"D:\\\\Palm\"\n"
    "\"Multi\"=hex(7):41,00,00,00,\\\n  42,00,00,00\n",
    "WINE REGISTRY Version 2\n[Software\\\\Wine\\\\Drives] 1\n\"c:\"=\"hd\"\n",
};

void Write(const std::filesystem::path& folder, const std::string& target, int n, const Bytes& bytes) {
    std::filesystem::create_directories(folder / target);
    lazrine::testing::WriteFileBytes((folder / target / ("seed-" + std::to_string(n))).string(), bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    int n = 0;
    for (const MemoFileLayout& spec : MemoFiles()) {
        ++n;
        const Bytes extended = lazrine::testing::BuildExtendedMemoFile(spec);
        Write(folder, "extended_memo", n, extended);
        Write(folder, "classic_memo", n, lazrine::testing::BuildClassicMemoFile(spec));
        Write(folder, "category_section", n, CategorySection(spec));
        // A read program over the first bytes of a file: a few primitives,
        // then the typed fields of a record.
        Bytes program = {12, 2, 0, 0, 0, 6, 0x36, 0x49, 0x05, 11, 9, 7, 8, 12};
        program[0] = static_cast<std::uint8_t>(program.size() - 1);
        program.insert(program.end(), extended.begin(), extended.end());
        Write(folder, "record_primitives", n, program);
    }
    n = 0;
    for (std::uint32_t kind = 0; kind <= 7; ++kind) {
        const std::vector<std::uint32_t> exceptions =
            kind % 2 != 0 ? std::vector<std::uint32_t>{1230768000, 1231372800} : std::vector<std::uint32_t>{};
        lazrine::testing::RepeatLayout spec = lazrine::testing::MakeRepeat(kind, exceptions);
        if (kind == 3) {
            spec.marker = 0x8002;
        }
        Write(folder, "repeat_field", ++n, PalmFileBuilder().RepeatField(spec).Bytes());
    }
    n = 0;
    for (const auto& spec : ContactFiles()) {
        ++n;
        Write(folder, "extended_address", n, lazrine::testing::BuildExtendedAddressFile(spec));
        Write(folder, "classic_address", n, lazrine::testing::BuildClassicAddressFile(spec));
    }
    for (const lazrine::testing::TodoFileLayout& spec : TodoFiles()) {
        ++n;
        Write(folder, "extended_todo", n, lazrine::testing::BuildExtendedTodoFile(spec));
        Write(folder, "classic_todo", n, lazrine::testing::BuildClassicTodoFile(spec));
    }
    for (const lazrine::testing::DateFileLayout& spec : DateFiles()) {
        ++n;
        Write(folder, "extended_date", n, lazrine::testing::BuildExtendedDateFile(spec));
        Write(folder, "classic_date", n, lazrine::testing::BuildClassicDateFile(spec));
    }
    n = 0;
    for (const std::string& sql : kStatements) {
        Write(folder, "sql_statement", ++n, Bytes(sql.begin(), sql.end()));
    }
    n = 0;
    for (const std::string& hive : kHives) {
        Write(folder, "wine_registry", ++n, Bytes(hive.begin(), hive.end()));
    }
    // Each committed database untouched, and with the usage-map pointer of
    // the catalog's definition (page 2) changed to itself.
    for (std::uint8_t file = 0; file < 5; ++file) {
        Write(folder, "jet_pages", 2 * file + 1, Bytes{file});
        Write(folder, "jet_pages", 2 * file + 2, Bytes{file, 1, 55, 0, 0x00, 1, 59, 0, 0x01});
    }
    // MemoPad.mdb with the first row slot of Main's data page (27) flagged
    // as an overflow row, and as a deleted one.
    Write(folder, "jet_pages", 11, Bytes{0, 26, 15, 0, 0x4F});
    Write(folder, "jet_pages", 12, Bytes{0, 26, 17, 0, 0x8F});
    {
        lazrine::testing::PdbLayout memos;
        memos.records = {{0x40, 1, lazrine::testing::PdbText("Memo")}, {0x88, 2, lazrine::testing::PdbText("Gone")},
                         {0x80, 3, {}}};
        Write(folder, "handheld_database", 1, lazrine::testing::BuildPdb(memos));
        lazrine::testing::PdbLayout tasks;
        tasks.creator = "todo";
        tasks.records = {{0x01, 4, lazrine::testing::PdbTodo(0xC621, 0x82, "Task", "Note")}};
        Write(folder, "handheld_database", 2, lazrine::testing::BuildPdb(tasks));
        lazrine::testing::PdbLayout contacts;
        contacts.creator = "addr";
        contacts.records = {{0x02, 5, lazrine::testing::PdbContact(0x00543210, {{0, "Doe"}, {1, "Jo"}, {18, "n"}})}};
        Write(folder, "handheld_database", 3, lazrine::testing::BuildPdb(contacts));
        lazrine::testing::PdbLayout dates;
        dates.creator = "date";
        dates.records = {{0x88, 6, {9, 0, 10, 0, 0xC6, 0x21, 0x64, 0, 5, 0, 1, 0, 0xC7, 0x9F, 1, 2, 0, 0, 'M', 0}}};
        Write(folder, "handheld_database", 4, lazrine::testing::BuildPdb(dates));
    }
    Write(folder, "users_file", 1,
          lazrine::testing::BuildUsersDat({{3, "Profile A", "ProfA"}, {0xA1B2C3D4, "Jos\xe9 P", "JoseP"}, {4096, "Ann", "Ann"}}));
    Write(folder, "users_file", 2, lazrine::testing::BuildUsersDat({{500, "Solo", "Solo"}}));
    return 0;
}
