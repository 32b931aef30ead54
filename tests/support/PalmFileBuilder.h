#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lazrine::testing {

struct RepeatLayout;

// Builds Palm Desktop record files byte by byte from their documented
// layout, independently of the codecs under test, for tests, benchmarks and
// the demo data.
class PalmFileBuilder {
public:
    PalmFileBuilder& U8(std::uint8_t v);
    PalmFileBuilder& U16(std::uint16_t v);
    PalmFileBuilder& U32(std::uint32_t v);
    PalmFileBuilder& Raw(const std::vector<std::uint8_t>& bytes);
    PalmFileBuilder& Raw(const std::string& bytes);
    // Length byte (0xFF and a u16 from 255 on), then the text.
    PalmFileBuilder& CString(const std::string& text);
    PalmFileBuilder& IntField(std::uint32_t value, std::uint32_t tag = 1);
    PalmFileBuilder& StringField(const std::string& text, std::uint32_t attr = 1);
    PalmFileBuilder& RepeatField(const RepeatLayout& spec);

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::size_t Size() const { return m_bytes.size(); }

private:
    std::vector<std::uint8_t> m_bytes;
};

struct BlobField {
    std::uint32_t tag = 0;
    std::uint32_t form = 0;  // 0; 1..3 with a, b and data; >= 4: form bytes of data
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    std::vector<std::uint8_t> data;
};

// A repeat field (tag 8) as stored: exception dates, a class marker (0 for
// no rule, 0xFFFF for a declaration, else a class reference), the declaration
// (schema and name), the 16-byte rule header and the raw values after it.
struct RepeatLayout {
    std::vector<std::uint32_t> exceptions;
    std::uint16_t marker = 0;
    std::uint16_t schema = 1;
    std::string className;
    std::uint32_t kind = 0;
    std::uint32_t interval = 0;
    std::uint32_t endDate = 0;
    std::uint32_t extra = 0;
    std::vector<std::uint8_t> values;
};

// A declared rule of `kind` 0..6 with its class name and distinct sample
// values: 1 day 3; 2 day 1, mask 0x2A; 3 day 2, week 4; 4 the 15th; 5 the
// 25th of month 12; 6 none. Kind 0 is the 8-byte "no repeat" field.
RepeatLayout MakeRepeat(std::uint32_t kind, std::vector<std::uint32_t> exceptions = {});

struct CategoryEntry {
    std::uint32_t index = 1;
    std::uint32_t id = 1;
    std::uint32_t dirty = 0;
    std::string name;
    std::string second;
};

struct MemoRecordLayout {
    std::uint32_t id = 0;
    std::uint32_t status = 0;
    std::uint32_t placement = 0;
    std::uint32_t category = 0;
    std::uint32_t priv = 0;
    std::string text;
    // Extended files only:
    std::uint32_t extraA = 0;
    std::uint32_t extraB = 0;
    std::array<BlobField, 4> blobs{};
    std::string extraTextA;
    std::string extraTextB;
    // Tags used for the numeric fields 0..6 (extended) or 0,1,2,4,5 (classic),
    // and the attribute of every text.
    std::uint32_t intTag = 1;
    std::uint32_t textAttr = 1;
    // Fields written after the ones above (a schema counting more positions
    // than the record type describes), as they are.
    std::vector<std::uint8_t> extraFields;
};

// What every record file carries besides its records.
struct PalmFileLayout {
    std::string recordedName = "C:\\Program Files\\Palm\\User\\memopad\\memopad.dat";
    std::array<std::uint8_t, 5> signatureLead{0xBE, 0xBA, 0xFE, 0xCA, 0x0F};
    std::uint32_t versionTag = 0;  // 0: the generation's tag of the kind
    std::array<std::uint8_t, 24> headerBlock{};
    std::array<std::uint8_t, 43> nameBlock{};
    std::string headerText = "Palm Memo Pad";  // classic only
    std::uint32_t nextCategoryId = 128;
    std::vector<CategoryEntry> categories;
    // Schema; unset means the generation's default.
    std::optional<std::uint32_t> fieldsPerRecord;
    std::vector<std::uint16_t> fieldTypes;
    // Entry count override (else records x fields per record).
    bool overrideEntryCount = false;
    std::uint32_t entryCount = 0;
    // When set, the builder appends the file offset of each record's 4-byte
    // status value, in record order: the only bytes an undelete may change.
    std::vector<std::size_t>* statusOffsets = nullptr;
};

struct MemoFileLayout : PalmFileLayout {
    std::vector<MemoRecordLayout> memos;
    // Bytes after the last record, as they are.
    std::vector<std::uint8_t> trailing;
};

struct TodoRecordLayout {
    std::uint32_t id = 0;
    std::uint32_t status = 0;
    std::uint32_t placement = 0;
    std::uint32_t category = 0;
    std::uint32_t priv = 0;
    std::string description;
    std::uint32_t dueDate = 0;
    std::uint32_t completed = 0;
    std::uint32_t priority = 1;
    std::string note;
    // Extended files only:
    std::uint32_t alarm = 0;
    std::uint32_t extraA = 0;
    std::uint32_t extraB = 0;
    std::array<BlobField, 4> blobs{};
    std::string extraTextA;
    std::string extraTextB;
    std::uint32_t extraC = 0;
    std::uint32_t extraDateA = 0;
    std::uint32_t extraDateB = 0;
    std::uint32_t extraD = 0;
    std::uint32_t extraDateC = 0;
    RepeatLayout repeat;
    // Tags of the numbers (1 for ids and plain numbers, 3 dates, 6 flags in
    // the normal form) and the attribute of every text.
    std::uint32_t intTag = 1;
    std::uint32_t dateTag = 3;
    std::uint32_t flagTag = 6;
    std::uint32_t textAttr = 1;
};

struct TodoFileLayout : PalmFileLayout {
    TodoFileLayout() {
        recordedName = "C:\\Program Files\\Palm\\User\\todo\\todo.dat";
        headerText = "Palm To Do List";
    }
    std::vector<TodoRecordLayout> todos;
};

// An appointment as the date book files store it. Extended files use every
// member except `extraH`; classic files have no header fields (category,
// private flag, blobs, short texts), no location and no `extraTextC/D`, and
// keep their private flag in `extraD` and their alarm flag in `extraF`.
struct DateRecordLayout {
    std::uint32_t id = 0;
    std::uint32_t status = 0;
    std::uint32_t placement = 0;
    // Extended header:
    std::uint32_t category = 0;
    std::uint32_t priv = 0;
    std::uint32_t extraA = 0;
    std::uint32_t extraB = 0;
    std::array<BlobField, 4> blobs{};
    std::string extraTextA;
    std::string extraTextB;
    // The appointment:
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::string description;
    std::uint32_t extraC = 0;
    std::string note;
    std::uint32_t allDay = 0;
    std::uint32_t extraD = 0;
    std::uint32_t extraE = 0;
    std::uint32_t extraF = 0;
    RepeatLayout repeat;
    std::string location;
    std::uint32_t extraG = 0;
    std::string extraTextC;
    std::string extraTextD;
    std::uint32_t extraH = 0;  // classic only
    // The tags the start and end are stored with (the writers use 3).
    std::uint32_t startTag = 3;
    std::uint32_t endTag = 3;
};

struct DateFileLayout : PalmFileLayout {
    DateFileLayout() {
        recordedName = "C:\\Program Files\\Palm\\User\\datebook\\datebook.dat";
        headerText = "Palm Date Book";
    }
    std::vector<DateRecordLayout> dates;
};

// An appointment with the given id, status and description, 5 May 2009
// 09:30 to 10:15 UTC, no repeat.
DateRecordLayout MakeDate(std::uint32_t id, std::uint32_t status, std::string description);

// A date book with something of everything: every repeat class 0 to 6
// declared in full, a class reference, exception dates, untimed events,
// alarms, private and deleted records, categories, CR LF and Windows-1252
// texts (also longer than Palm Desktop's own text buffers), starts and ends of
// 0 and 0xFFFFFFFF, and a long header text.
DateFileLayout RichDateFileLayout();

// An extended ("PalmSG") date book file, version tag 0x44420200.
std::vector<std::uint8_t> BuildExtendedDateFile(const DateFileLayout& spec);
// A classic date book file, version tag 0x44420100.
std::vector<std::uint8_t> BuildClassicDateFile(const DateFileLayout& spec);

// A memo with the given id, status word and text; everything else zero.
MemoRecordLayout MakeMemo(std::uint32_t id, std::uint32_t status, std::string text);

// An extended ("PalmSG") memo file.
std::vector<std::uint8_t> BuildExtendedMemoFile(const MemoFileLayout& spec);
// A classic memo file.
std::vector<std::uint8_t> BuildClassicMemoFile(const MemoFileLayout& spec);
// An extended ("PalmSG") to-do file: records of 25 fields unless `spec`
// gives fewer fields per record.
std::vector<std::uint8_t> BuildExtendedTodoFile(const TodoFileLayout& spec);
// A classic to-do file.
std::vector<std::uint8_t> BuildClassicTodoFile(const TodoFileLayout& spec);

// A contact of the address files. The extended file stores all of it; the
// classic file the first five phones, the work address and the first four
// custom fields.
struct ContactRecordLayout {
    std::uint32_t id = 0;
    std::uint32_t status = 0;
    std::uint32_t placement = 0;
    std::uint32_t category = 0;
    std::uint32_t priv = 0;
    std::string firstName;
    std::string lastName;
    std::string title;
    std::string company;
    std::string note;
    std::array<std::string, 7> phones{};
    std::array<std::uint32_t, 7> phoneLabels{0, 1, 2, 3, 4, 5, 7};
    std::array<std::string, 9> custom{};
    // street, city, state, postal code, country
    std::array<std::array<std::string, 5>, 3> addresses{};  // work, home, other
    std::string chat1;
    std::string chat2;
    std::string webPage;
    std::array<std::uint8_t, 8> birthday{};
    std::uint32_t birthdayTag = 68;
    // Numbers carried through (extended positions 17, 42, 48, 54, 62, 63,
    // 66, 67, 68; the classic file has only the first, at position 29).
    std::array<std::uint32_t, 9> extras{};
    std::array<std::string, 4> extraTexts{};  // extended positions 69..72
    std::array<BlobField, 4> blobs{};
    std::string extraTextA;
    std::string extraTextB;
};

struct ContactFileLayout {
    std::string recordedName = "C:\\Program Files\\Palm\\User\\address\\address.dat";
    std::uint32_t versionTag = 0;  // 0: the generation's address tag
    std::array<std::uint8_t, 24> headerBlock{};
    std::array<std::uint8_t, 11> nameBlock{};
    std::array<std::string, 9> customLabels{};
    std::array<std::uint32_t, 9> customLabelValues{};
    std::array<std::uint8_t, 42> labelBlock{};
    std::string headerText = "Palm Address Book";  // classic only
    std::uint32_t nextCategoryId = 128;
    std::vector<CategoryEntry> categories;
    std::optional<std::uint32_t> fieldsPerRecord;
    std::vector<std::uint16_t> fieldTypes;
    bool overrideEntryCount = false;
    std::uint32_t entryCount = 0;
    // Whether the file stores first names at the last-name position and
    // the other way round (as Palm Desktop does with the name swap set).
    bool swapped = false;
    std::vector<ContactRecordLayout> contacts;
    // As PalmFileLayout::statusOffsets.
    std::vector<std::size_t>* statusOffsets = nullptr;
};

// The default schemas of the two address generations.
std::vector<std::uint16_t> ExtendedAddressTypes();
std::vector<std::uint16_t> ClassicAddressTypes();
// An extended ("PalmSG") address file.
std::vector<std::uint8_t> BuildExtendedAddressFile(const ContactFileLayout& spec);
// A classic address file.
std::vector<std::uint8_t> BuildClassicAddressFile(const ContactFileLayout& spec);

// File helpers for tests.
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

}  // namespace lazrine::testing
