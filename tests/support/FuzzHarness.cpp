#include "support/FuzzHarness.h"

#include <algorithm>
#include <type_traits>
#include <variant>
#include <vector>

#include "common/palm/PmAddrExUtil.h"
#include "common/palm/PmAddrUtil.h"
#include "common/palm/PmCategoryMgr.h"
#include "common/palm/PmDBUtil.h"
#include "common/palm/PmDateExUtil.h"
#include "common/palm/PmDateUtil.h"
#include "common/palm/PmMemoExUtil.h"
#include "common/palm/PmMemoUtil.h"
#include "common/palm/PmTodoExUtil.h"
#include "common/palm/PmTodoUtil.h"
#include "common/palm/database/PmJetEngine.h"
#include "common/palm/database/PmSqlStatement.h"
#include "common/palm/desktop/PmUsersFile.h"
#include "common/palm/handheld/PmHandheldRecords.h"
#include "common/palm/handheld/PmHandheldStore.h"
#include "common/palm/handheld/PmPdbFile.h"
#include "platform/WineRegFile.h"
#include "support/MemoryFileIo.h"
#include "support/PalmFileBuilder.h"
#include "support/ScopedFileIo.h"

namespace lazrine::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kInputPath = "/fuzz/memopad/memopad.dat";
constexpr const char* kSecondPath = "/fuzz/memopad/second.dat";

// The CString form, written here independently of the codec: one length byte
// below 255, else 0xFF and a little-endian u16.
Bytes CStringOf(const std::string& text) {
    Bytes out;
    if (text.size() < 0xFF) {
        out.push_back(static_cast<std::uint8_t>(text.size()));
    } else {
        out.push_back(0xFF);
        out.push_back(static_cast<std::uint8_t>(text.size()));
        out.push_back(static_cast<std::uint8_t>(text.size() >> 8));
    }
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

std::uint32_t U32At(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 16) | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

// Whether `consumed` is a CString (either length form) holding `text`.
bool IsCStringOf(std::span<const std::uint8_t> consumed, const std::string& text) {
    if (consumed.empty()) {
        return false;
    }
    std::size_t header = 1;
    std::size_t length = consumed[0];
    if (consumed[0] == 0xFF) {
        if (consumed.size() < 3) {
            return false;
        }
        header = 3;
        length = static_cast<std::size_t>(consumed[1]) | (static_cast<std::size_t>(consumed[2]) << 8);
    }
    const Bytes expected(text.begin(), text.end());
    return length == text.size() && consumed.size() == header + length &&
           SameBytes(consumed.subspan(header), expected);
}

// What must hold for every list a section read produced.
std::string CheckCategoryList(const palm::PmCategoryMgr& mgr) {
    const palm::PmCategory* unfiled = mgr.AtIndex(0);
    if (unfiled == nullptr || unfiled->GetId() != 0 || unfiled->GetName() != "Unfiled") {
        return "slot 0 does not hold \"Unfiled\" with id 0";
    }
    int held = 0;
    std::int32_t lastIndex = 0;
    palm::PmCategoryMgr walk = mgr;
    for (const palm::PmCategory* c = walk.First(); c != nullptr; c = walk.Next()) {
        ++held;
        if (static_cast<std::uint32_t>(c->GetIndex()) < static_cast<std::uint32_t>(lastIndex)) {
            return "the categories are not in slot order";
        }
        lastIndex = c->GetIndex();
        if (c->GetSafeName().size() > palm::PmCategory::kMaxSafeName) {
            return "a second name is longer than its limit";
        }
        if (walk.FindById(c->GetId()) != c) {
            return "two categories share the id " + std::to_string(c->GetId());
        }
        if (!c->GetName().empty() && c->GetSafeName() != palm::PmCategoryMgr::SafeNameOf(c->GetName())) {
            return "a second name is not the safe form of its name";
        }
    }
    if (held != mgr.Count()) {
        return "the category count differs from the categories walked";
    }
    return {};
}

std::string CompareCategoryLists(const palm::PmCategoryMgr* a, const palm::PmCategoryMgr* b) {
    if (a == nullptr || b == nullptr) {
        return a == b ? std::string{} : "a category list went missing";
    }
    if (a->NextId() != b->NextId() || a->Count() != b->Count()) {
        return "the category list changed across a write and a read";
    }
    palm::PmCategoryMgr x = *a;
    palm::PmCategoryMgr y = *b;
    for (const palm::PmCategory *p = x.First(), *q = y.First(); p != nullptr; p = x.Next(), q = y.Next()) {
        if (q == nullptr || p->GetIndex() != q->GetIndex() || p->GetId() != q->GetId() ||
            p->GetName() != q->GetName() || p->GetSafeName() != q->GetSafeName()) {
            return "category slot " + std::to_string(p->GetIndex()) + " changed across a write and a read";
        }
    }
    return {};
}

bool SameRecord(const palm::PmMemoExRec& a, const palm::PmMemoExRec& b) {
    return a.nRecordId == b.nRecordId && a.nExtraA == b.nExtraA && a.nStatus == b.nStatus &&
           a.nExtraB == b.nExtraB && a.nPlacement == b.nPlacement && a.nCategoryId == b.nCategoryId &&
           a.nPrivate == b.nPrivate && a.blobs == b.blobs && a.szExtraA == b.szExtraA &&
           a.szExtraB == b.szExtraB && a.szMemo == b.szMemo && a.szCategory == b.szCategory;
}

bool SameRecord(const palm::PmMemoRec& a, const palm::PmMemoRec& b) {
    return a.nRecordId == b.nRecordId && a.nStatus == b.nStatus && a.nPlacement == b.nPlacement &&
           a.szMemo == b.szMemo && a.nPrivate == b.nPrivate && a.nCategoryId == b.nCategoryId;
}

bool SameRecord(const palm::PmTodoExRec& a, const palm::PmTodoExRec& b) {
    return a.nRecordId == b.nRecordId && a.nExtraA == b.nExtraA && a.nStatus == b.nStatus &&
           a.nExtraB == b.nExtraB && a.nPlacement == b.nPlacement && a.nCategoryId == b.nCategoryId &&
           a.nPrivate == b.nPrivate && a.blobs == b.blobs && a.szExtraA == b.szExtraA &&
           a.szExtraB == b.szExtraB && a.szDescription == b.szDescription && a.nDueDate == b.nDueDate &&
           a.nCompleted == b.nCompleted && a.nPriority == b.nPriority && a.szNote == b.szNote &&
           a.nExtraC == b.nExtraC && a.nExtraDateA == b.nExtraDateA && a.nAlarm == b.nAlarm &&
           a.nExtraDateB == b.nExtraDateB && a.nExtraD == b.nExtraD && a.nExtraDateC == b.nExtraDateC &&
           a.Repeat == b.Repeat && a.szCategory == b.szCategory;
}

bool SameRecord(const palm::PmTodoRec& a, const palm::PmTodoRec& b) {
    return a.nRecordId == b.nRecordId && a.nStatus == b.nStatus && a.nPlacement == b.nPlacement &&
           a.szDescription == b.szDescription && a.nDueDate == b.nDueDate && a.nCompleted == b.nCompleted &&
           a.nPriority == b.nPriority && a.nPrivate == b.nPrivate && a.nCategoryId == b.nCategoryId &&
           a.szNote == b.szNote;
}

// Whether two field refs point at equal values of the same type.
bool SameTarget(const palm::PmFieldRef& x, const palm::PmFieldRef& y) {
    if (x.target.index() != y.target.index()) {
        return false;
    }
    return std::visit(
        [&y](const auto& px) {
            using T = std::decay_t<decltype(px)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return true;
            } else {
                return *px == *std::get<T>(y.target);
            }
        },
        x.target);
}

// Every field a record type describes, compared through its own layout.
template <class Rec>
bool SameFields(const Rec& a, const Rec& b) {
    Rec x = a;
    Rec y = b;
    for (std::size_t pos = 0; pos < Rec::kFieldCount; ++pos) {
        if (!SameTarget(Rec::Field(x, pos), Rec::Field(y, pos))) {
            return false;
        }
    }
    return a.szCategory == b.szCategory && a.bSwapName == b.bSwapName;
}

bool SameRecord(const palm::PmAddrExRec& a, const palm::PmAddrExRec& b) { return SameFields(a, b); }
bool SameRecord(const palm::PmAddrRec& a, const palm::PmAddrRec& b) { return SameFields(a, b); }

bool SameRecord(const palm::PmDateExRec& a, const palm::PmDateExRec& b) {
    return a.nRecordId == b.nRecordId && a.nExtraA == b.nExtraA && a.nStatus == b.nStatus &&
           a.nExtraB == b.nExtraB && a.nPlacement == b.nPlacement && a.nCategoryId == b.nCategoryId &&
           a.nPrivate == b.nPrivate && a.blobs == b.blobs && a.szExtraA == b.szExtraA &&
           a.szExtraB == b.szExtraB && a.szCategory == b.szCategory && a.nStartTime == b.nStartTime &&
           a.nEndTime == b.nEndTime && a.szDescription == b.szDescription && a.nExtraC == b.nExtraC &&
           a.szNote == b.szNote && a.nAllDay == b.nAllDay && a.nExtraD == b.nExtraD && a.nExtraE == b.nExtraE &&
           a.nExtraF == b.nExtraF && a.Repeat == b.Repeat && a.szLocation == b.szLocation &&
           a.nExtraG == b.nExtraG && a.szExtraC == b.szExtraC && a.szExtraD == b.szExtraD;
}

bool SameRecord(const palm::PmDateRec& a, const palm::PmDateRec& b) {
    return a.nRecordId == b.nRecordId && a.nStatus == b.nStatus && a.nPlacement == b.nPlacement &&
           a.nStartTime == b.nStartTime && a.nEndTime == b.nEndTime && a.szDescription == b.szDescription &&
           a.nExtraC == b.nExtraC && a.szNote == b.szNote && a.nAllDay == b.nAllDay && a.nExtraD == b.nExtraD &&
           a.nExtraE == b.nExtraE && a.nExtraF == b.nExtraF && a.nExtraG == b.nExtraG && a.nExtraH == b.nExtraH &&
           a.Repeat == b.Repeat;
}

// Whether the writer can reproduce what the reader took in; a file it cannot
// is refused for saving (and only then may a save fail in memory).
template <class Rec>
bool ExpectWritable(const palm::PmExFile<Rec>& store) {
    return store.GetSchema().nFieldsPerRecord == store.GetSchema().aFieldTypes.size();
}
template <class Rec>
bool ExpectWritable(const palm::PmClassicFile<Rec>& /*store*/) {
    return true;
}
bool ExpectWritable(const palm::PmTodoUtil& /*store*/) { return true; }
bool ExpectWritable(const palm::PmAddrExUtil& store) {
    return store.GetSchema().nFieldsPerRecord == store.GetSchema().aFieldTypes.size();
}
bool ExpectWritable(const palm::PmAddrUtil& /*store*/) { return true; }

// Loads `data` as a whole file of `Store`, saves it, and reads the saved file
// again: see FuzzHarness.
// After a save without a change: the file `path` as it was loaded, a backup
// of the original beside it and nothing else, every handle closed.
bool SavedAsLoaded(MemoryFileIo& io, const std::string& path, std::span<const std::uint8_t> data) {
    const std::string backup = path + ".lazrine.bak";
    return SameBytes(io.Get(path), data) && io.Paths() == std::vector<std::string>{path, backup} &&
           SameBytes(io.Get(backup), data) && io.OpenHandles() == 0;
}

// Brings back every deleted record of `store` (counted in `undeleted`) and
// saves; false when the save fails.
bool UndeleteAllAndSave(palm::PmStore& store, std::size_t& undeleted) {
    for (std::size_t i = 0; i < store.Count(); ++i) {
        if (palm::PmIsDeletedStatus(store.StatusAt(i))) {
            store.SetStatusAt(i, palm::PmUndeletedStatus(store.StatusAt(i)));
            ++undeleted;
        }
    }
    return store.Save();
}

template <class Store>
std::string CheckWholeFile(std::span<const std::uint8_t> data) {
    MemoryFileIo io;
    ScopedFileIo scope(io);
    const std::string path = kInputPath;
    const std::string backup = path + ".lazrine.bak";
    io.Put(path, data);

    Store store;
    const bool loaded = store.Load(path);
    if (io.OpenHandles() != 0) {
        return "a load leaves the file open";
    }
    if (!SameBytes(io.Get(path), data)) {
        return "a load changed the file";
    }
    // Loading the same bytes from memory must read the same content.
    Store fromMemory;
    if (fromMemory.LoadBytes(data) != loaded || fromMemory.Count() != store.Count()) {
        return "loading from memory and from the file disagree";
    }
    for (std::size_t i = 0; i < store.Count(); ++i) {
        if (!SameRecord(store.GetDataMgr().At(i), fromMemory.GetDataMgr().At(i))) {
            return "record " + std::to_string(i) + " reads differently from memory";
        }
    }
    if (!loaded) {
        if (store.LastError().empty()) {
            return "a failed load gives no reason";
        }
        if (store.Count() != 0) {
            return "a failed load offers records";
        }
        return {};
    }
    if (const palm::PmCategoryMgr* mgr = store.GetCategoryMgr()) {
        if (std::string broken = CheckCategoryList(*mgr); !broken.empty()) {
            return broken;
        }
    }

    if (!store.Save()) {
        if (ExpectWritable(store)) {
            return "a loaded file cannot be saved: " + store.LastError();
        }
        if (store.LastError().empty()) {
            return "a refused save gives no reason";
        }
        if (!SameBytes(io.Get(path), data) || io.Paths().size() != 1 || io.OpenHandles() != 0) {
            return "a refused save touched the disk";
        }
        return {};
    }
    if (!ExpectWritable(store)) {
        return "a file whose schema the writer cannot reproduce was saved";
    }
    // A save without a change writes the file back byte for byte.
    if (!SavedAsLoaded(io, path, data)) {
        return "a save without a change did not leave the file as it was and a backup of the original";
    }
    // An undelete of every deleted record changes at most the four bytes of
    // each one's status word.
    std::size_t undeleted = 0;
    if (!UndeleteAllAndSave(store, undeleted)) {
        return "a file that saved once cannot be saved with its undeletes: " + store.LastError();
    }
    const Bytes saved = io.Get(path);
    if (saved.size() != data.size() || !SameBytes(io.Get(backup), data)) {
        return "an undelete changed the file's size or its backup";
    }
    std::size_t changed = 0;
    for (std::size_t i = 0; i < saved.size(); ++i) {
        changed += saved[i] != data[i] ? 1 : 0;
    }
    if (changed > 4 * undeleted) {
        return "an undelete changed " + std::to_string(changed) + " bytes for " + std::to_string(undeleted) +
               " status words";
    }
    Bytes inMemory;
    if (!store.WriteToMemory(inMemory) || inMemory != saved) {
        return "writing to memory differs from saving";
    }
    io.Put(kSecondPath, saved);
    Store again;
    if (!again.Load(kSecondPath)) {
        return "a saved file does not load: " + again.LastError();
    }
    if (again.Count() != store.Count() || again.TrailingBytes() != store.TrailingBytes()) {
        return "a saved file holds " + std::to_string(again.Count()) + " records instead of " +
               std::to_string(store.Count());
    }
    for (std::size_t i = 0; i < store.Count(); ++i) {
        if (!SameRecord(store.GetDataMgr().At(i), again.GetDataMgr().At(i))) {
            return "record " + std::to_string(i) + " changed across a save and a load";
        }
    }
    if (again.GetSchema() != store.GetSchema() || again.GetRecordedName() != store.GetRecordedName()) {
        return "the schema or the recorded name changed across a save and a load";
    }
    if constexpr (requires { store.GetCustomLabels(); }) {
        if (!(again.GetCustomLabels() == store.GetCustomLabels())) {
            return "the custom field labels changed across a save and a load";
        }
    }
    if constexpr (requires { store.GetHeaderText(); }) {
        if (again.GetHeaderText() != store.GetHeaderText()) {
            return "the header text changed across a save and a load";
        }
    }
    if (std::string changed = CompareCategoryLists(store.GetCategoryMgr(), again.GetCategoryMgr());
        !changed.empty()) {
        return changed;
    }
    Bytes twice;
    if (!again.WriteToMemory(twice) || twice != saved) {
        return "a second save writes other bytes than the first";
    }
    return {};
}

std::string LiteralText(const palm::PmSqlLiteral& lit) {
    switch (lit.nKind) {
        case palm::PmSqlLiteral::kInteger:
            return std::to_string(lit.nValue);
        case palm::PmSqlLiteral::kBinary:
            return "0x" + lit.szText;
        case palm::PmSqlLiteral::kText:
            break;
    }
    std::string quoted = "'";
    for (const char c : lit.szText) {
        quoted += c == '\'' ? "''" : std::string(1, c);
    }
    return quoted + "'";
}

std::string TermsText(const std::vector<palm::PmSqlTerm>& terms, const char* op, const char* separator) {
    std::string text;
    for (std::size_t i = 0; i < terms.size(); ++i) {
        text += (i == 0 ? "" : separator) + ("[" + terms[i].szColumn + "]") + op + LiteralText(terms[i].literal);
    }
    return text;
}

std::string NamesText(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "[" : ", [") + names[i] + "]";
    }
    return text;
}

// The statement written the way the SQL builders write it, every name
// bracketed.
std::string CanonicalText(const palm::PmSqlStatement& st) {
    const std::string table = "[" + st.Table() + "]";
    const std::string where = st.Where().empty() ? "" : " WHERE " + TermsText(st.Where(), " = ", " AND ");
    switch (st.Kind()) {
        case palm::PM_SQL_SELECT:
            return "SELECT " + NamesText(st.Columns()) + " FROM " + table + where;
        case palm::PM_SQL_UPDATE:
            return "UPDATE " + table + " SET " + TermsText(st.Assignments(), "=", ", ") + where;
        case palm::PM_SQL_INSERT: {
            std::string values;
            for (std::size_t i = 0; i < st.Values().size(); ++i) {
                values += (i == 0 ? "" : ", ") + LiteralText(st.Values()[i]);
            }
            return "INSERT INTO " + table + " (" + NamesText(st.Columns()) + ") VALUES (" + values + ")";
        }
        case palm::PM_SQL_DELETE:
            return "DELETE FROM " + table + where;
    }
    return {};
}

bool SameLiteral(const palm::PmSqlLiteral& a, const palm::PmSqlLiteral& b) {
    return a.nKind == b.nKind && a.nValue == b.nValue && a.szText == b.szText;
}

bool SameTerms(const std::vector<palm::PmSqlTerm>& a, const std::vector<palm::PmSqlTerm>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.szColumn == y.szColumn && SameLiteral(x.literal, y.literal);
    });
}

}  // namespace

std::string FuzzHarness::SqlStatement(std::span<const std::uint8_t> data) {
    const std::string_view sql(reinterpret_cast<const char*>(data.data()), data.size());
    palm::PmSqlStatement st;
    std::string error;
    if (!palm::PmSqlStatement::Parse(sql, st, error)) {
        return error.empty() ? "a refused statement gives no reason" : std::string{};
    }
    if (st.Table().empty() || st.Table().find(']') != std::string::npos) {
        return "a statement was accepted with an unusable table name";
    }
    const bool needsColumns = st.Kind() == palm::PM_SQL_SELECT || st.Kind() == palm::PM_SQL_INSERT;
    if ((needsColumns && st.Columns().empty()) || (st.Kind() == palm::PM_SQL_UPDATE && st.Assignments().empty()) ||
        (st.Kind() == palm::PM_SQL_INSERT && st.Values().size() != st.Columns().size())) {
        return "a statement was accepted without its required parts";
    }
    const std::string canonical = CanonicalText(st);
    palm::PmSqlStatement again;
    if (!palm::PmSqlStatement::Parse(canonical, again, error)) {
        return "the canonical text of an accepted statement is refused: " + error;
    }
    if (again.Kind() != st.Kind() || again.Table() != st.Table() || again.Columns() != st.Columns() ||
        !SameTerms(again.Assignments(), st.Assignments()) || !SameTerms(again.Where(), st.Where()) ||
        !std::equal(again.Values().begin(), again.Values().end(), st.Values().begin(), st.Values().end(),
                    SameLiteral)) {
        return "a statement reads differently from its canonical text";
    }
    return {};
}

std::string FuzzHarness::JetDatabase(std::span<const std::uint8_t> data) {
    palm::PmJetEngine engine;
    std::string error;
    if (!engine.OpenBytes(Bytes(data.begin(), data.end()), error)) {
        if (error.empty()) {
            return "a refused database gives no reason";
        }
        return engine.IsOpen() ? "a refused database stays open" : std::string{};
    }
    static constexpr std::string_view kQueries[] = {
        "SELECT [Record ID], [Status], [Placement], [Private], [Category], [Note] FROM Main",
        "SELECT [Record ID], [Note] FROM Main WHERE [Status] = 4",
        "SELECT [Record ID] FROM Main WHERE [Note] = '' AND [Category] = '1'",
        "SELECT [ID], [Name] FROM Category",
        "SELECT [Name], [Note] FROM Information",
    };
    for (const std::string_view query : kQueries) {
        std::vector<palm::PmValues> rows;
        error.clear();
        palm::PmSqlStatement st;
        std::string ignored;
        palm::PmSqlStatement::Parse(query, st, ignored);
        if (!engine.Query(query, rows, error)) {
            if (error.empty()) {
                return "a failed query gives no reason";
            }
            continue;
        }
        // The size hint of a table believes its definition only as far as
        // the table's pages could hold rows.
        std::vector<std::string> columns;
        std::size_t hint = 0;
        if (engine.ColumnNames(st.Table(), columns, ignored, &hint) && hint > data.size() / 4) {
            return "table " + st.Table() + " is said to hold " + std::to_string(hint) + " rows";
        }
        for (const palm::PmValues& row : rows) {
            if (row.size() != st.Columns().size()) {
                return "a row holds " + std::to_string(row.size()) + " values for " +
                       std::to_string(st.Columns().size()) + " columns";
            }
        }
    }
    std::size_t changed = 0;
    error.clear();
    if (engine.Execute("UPDATE Main SET [Status]=1 WHERE [Status] = 4", changed, error) || error.empty()) {
        return "a database held in memory accepted a write";
    }
    return {};
}

std::string FuzzHarness::JetDatabasePages(std::span<const std::uint8_t> data) {
    static const std::vector<Bytes> kFiles = [] {
        std::vector<Bytes> files;
        for (const char* name : {"MemoPad.mdb", "Todolist.mdb", "DateBook.mdb", "Address.mdb", "NotPalm.mdb"}) {
            files.push_back(ReadFileBytes(std::string(LAZRINE_TEST_DATA_DIR) + "/mdb/" + name));
        }
        return files;
    }();
    if (data.empty()) {
        return {};
    }
    Bytes bytes = kFiles[data[0] % kFiles.size()];
    constexpr std::size_t kPage = 4096;
    const std::size_t pages = bytes.size() / kPage;
    if (pages < 2) {
        return "a committed database is missing";
    }
    for (std::size_t at = 1; at + 4 <= data.size(); at += 4) {
        const std::size_t page = 1 + data[at] % (pages - 1);
        const std::size_t offset = (static_cast<std::size_t>(data[at + 1]) | (static_cast<std::size_t>(data[at + 2]) << 8)) % kPage;
        bytes[page * kPage + offset] = data[at + 3];
    }
    return JetDatabase(bytes);
}

namespace {

// The store of one kind on a handheld database: a load leaves the file as
// it was, reads from memory alike, fails with a reason and no records, and
// a loaded database saves back byte for byte (with a backup); bringing back
// every deleted record changes at most its attribute byte, and of that only
// bits 0x80 and 0x08.
std::string CheckHandheldStore(std::span<const std::uint8_t> data, palm::PmKind kind) {
    MemoryFileIo io;
    ScopedFileIo scope(io);
    const std::string path = kInputPath;
    io.Put(path, data);
    palm::PmHandheldStore store(kind);
    const bool loaded = store.Load(path);
    if (io.OpenHandles() != 0 || !SameBytes(io.Get(path), data)) {
        return "a handheld load left the file open or changed it";
    }
    palm::PmHandheldStore fromMemory(kind);
    if (fromMemory.LoadBytes(data) != loaded || fromMemory.Count() != store.Count()) {
        return "loading a handheld database from memory and from the file disagree";
    }
    if (!loaded) {
        return store.LastError().empty() || store.Count() != 0 ? "a failed handheld load gives no reason or records"
                                                               : std::string();
    }
    if (!store.Save()) {
        return "a loaded handheld database cannot be saved: " + store.LastError();
    }
    if (!SavedAsLoaded(io, path, data)) {
        return "a handheld save without a change did not leave the file as it was and a backup of the original";
    }
    std::size_t undeleted = 0;
    if (!UndeleteAllAndSave(store, undeleted)) {
        return "a handheld database that saved once cannot be saved with its undeletes: " + store.LastError();
    }
    const Bytes saved = io.Get(path);
    if (saved.size() != data.size()) {
        return "an undelete changed the size of a handheld database";
    }
    std::size_t changed = 0;
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (saved[i] != data[i]) {
            ++changed;
            if (((saved[i] ^ data[i]) & ~0x88) != 0) {
                return "an undelete changed more than the deletion bits of byte " + std::to_string(i);
            }
        }
    }
    if (changed > undeleted) {
        return "an undelete changed " + std::to_string(changed) + " bytes for " + std::to_string(undeleted) +
               " records";
    }
    palm::PmHandheldStore again(kind);
    if (!again.LoadBytes(saved) || again.Count() != store.Count()) {
        return "an undeleted handheld database does not load as before";
    }
    for (std::size_t i = 0; i < again.Count(); ++i) {
        if (palm::PmIsDeletedStatus(again.StatusAt(i))) {
            return "record " + std::to_string(i) + " is still deleted after its undelete was saved";
        }
    }
    return {};
}

}  // namespace

std::string FuzzHarness::HandheldDatabase(std::span<const std::uint8_t> data) {
    for (const palm::PmKind kind :
         {palm::PmKind::kContacts, palm::PmKind::kCalendar, palm::PmKind::kTasks, palm::PmKind::kMemos}) {
        if (std::string broken = CheckHandheldStore(data, kind); !broken.empty()) {
            return broken;
        }
    }
    palm::PmPdbFile pdb;
    std::string error;
    if (!pdb.Parse(data, error)) {
        return error.empty() ? "a refused database gave no reason" : std::string();
    }
    palm::PmPdbFile::Categories categories;
    pdb.ReadCategories(categories);
    using Records = palm::PmHandheldRecords;
    for (const palm::PmPdbFile::Record& record : pdb.Records()) {
        if (record.nOffset + record.nSize > data.size()) {
            return "a record reaches past the end of the file";
        }
        const auto bytes = pdb.RecordData(record);
        Records::Memo memo;
        Records::Todo todo;
        Records::Event event;
        Records::Contact contact;
        for (const bool ok : {Records::DecodeMemo(bytes, memo, error), Records::DecodeTodo(bytes, todo, error),
                              Records::DecodeEvent(bytes, event, error),
                              Records::DecodeContact(bytes, contact, error)}) {
            if (!ok && error.empty()) {
                return "a refused record gave no reason";
            }
        }
        if (event.exceptions.size() * 2 > bytes.size()) {
            return "more exceptions than the record holds";
        }
    }
    return {};
}

std::string FuzzHarness::UsersFile(std::span<const std::uint8_t> data) {
    palm::PmUsersFile file;
    const bool complete = file.Parse(data);
    if (complete != file.Complete()) {
        return "Parse and Complete disagree";
    }
    if (file.EntriesRead() < file.Users().size()) {
        return "more users than entries were read";
    }
    for (const palm::PmUsersFile::User& user : file.Users()) {
        if (user.nUserId < palm::PmUsersFile::kFirstUserId) {
            return "a profile was listed as a user";
        }
        if (!palm::PmUsersFile::IsSafeFolderName(user.szFolder) || user.szFolder.empty() ||
            user.szFolder.find_first_of("/\\") != std::string::npos || user.szFolder == "." ||
            user.szFolder == "..") {
            return "a user folder could leave the users' root: " + user.szFolder;
        }
    }
    palm::PmUsersFile again;
    again.Parse(data);
    if (again.EntriesRead() != file.EntriesRead() || again.Users().size() != file.Users().size()) {
        return "the same bytes read differently twice";
    }
    return {};
}

std::string FuzzHarness::WineRegistry(std::span<const std::uint8_t> data) {
    platform::WineRegFile reg;
    if (!reg.Parse(data)) {
        return {};
    }
    static constexpr std::string_view kKeys[][2] = {
        {"Software\\U.S. Robotics\\Pilot Desktop\\Core", "DesktopPath"},
        {"Software\\U.S. Robotics\\Pilot Desktop\\Core", "HotSyncPath"},
        {"Software\\PalmSource\\Desktop\\Core", "DesktopPath"},
        {"Software\\Wine\\Drives", "c:"},
        {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Personal"},
        {"", ""},
    };
    for (const auto& [key, name] : kKeys) {
        std::string value;
        const bool found = reg.QueryValue(key, name, value);
        if (found && !reg.HasKey(key)) {
            return "a value was found under a key that does not exist";
        }
        if (value.find('\0') != std::string::npos) {
            return "a value holds a zero byte";
        }
    }
    return {};
}

std::string FuzzHarness::RecordPrimitives(std::span<const std::uint8_t> data) {
    if (data.empty()) {
        return {};
    }
    const std::size_t opCount = std::min<std::size_t>(data[0] % 32, data.size() - 1);
    const auto ops = data.subspan(1, opCount);
    const auto file = data.subspan(1 + opCount);

    MemoryFileIo io;
    ScopedFileIo scope(io);
    io.Put(kInputPath, file);
    palm::PmDBUtil reader;
    if (!reader.Open(kInputPath, palm::PM_OPEN_READ)) {
        return "an existing file does not open: " + reader.LastError();
    }
    if (io.OpenHandles() != 0) {
        return "an opened file stays locked";
    }

    static constexpr std::size_t kCaps[] = {0, 15, 254, 256, 260, 65535};
    for (const std::uint8_t op : ops) {
        const std::size_t before = reader.Tell();
        palm::PmDBUtil writer;
        writer.BeginWrite();
        Bytes expected;  // what the writer must produce; empty: the bytes read
        bool ok = false;
        bool written = true;
        switch (op % 14) {
            case 0: {
                std::uint32_t v = 0;
                ok = reader.ReadLong(v) && (written = writer.WriteLong(v));
                break;
            }
            case 1: {
                std::uint16_t v = 0;
                ok = reader.ReadShort(v) && (written = writer.WriteShort(v));
                break;
            }
            case 2: {
                std::uint8_t v = 0;
                ok = reader.ReadByte(v) && (written = writer.WriteByte(v));
                break;
            }
            case 3: {
                palm::PmQuad v{};
                ok = reader.ReadQuad(v) && (written = writer.WriteQuad(v));
                break;
            }
            case 4: {
                Bytes buf(1 + (op >> 4));
                ok = reader.ReadBytes(buf) && (written = writer.WriteBytes(buf));
                break;
            }
            case 5: {
                Bytes buf(op >> 4);
                std::size_t n = buf.size();
                ok = reader.ReadBytesCounted(buf.data(), n);
                if (ok && n > buf.size()) {
                    return "a counted read reports more bytes than asked for";
                }
                if (ok && n > 0) {
                    written = writer.WriteBytes(std::span<const std::uint8_t>(buf.data(), n));
                }
                break;
            }
            case 6: {
                std::string text;
                const std::size_t cap = kCaps[(op >> 4) % 6];
                ok = reader.ReadCString(text, cap);
                if (ok) {
                    if (text.size() > cap) {
                        return "a text longer than its cap was read";
                    }
                    if (!IsCStringOf(file.subspan(before, reader.Tell() - before), text)) {
                        return "a text was read from other bytes than its CString";
                    }
                    written = writer.WriteCString(text);
                    expected = CStringOf(text);
                }
                break;
            }
            case 7: {
                std::uint32_t v = 0;
                ok = reader.ReadIntField(v);
                if (ok) {
                    const std::uint32_t tag = U32At(file, before);
                    if ((tag != 1 && tag != 3 && tag != 6) || U32At(file, before + 4) != v) {
                        return "a number field was read from another tag or value";
                    }
                    written = writer.WriteTypedInt(tag, v);
                }
                break;
            }
            case 8: {
                std::string text;
                std::uint32_t attr = 0;
                ok = reader.ReadStringField(text, attr);
                if (ok) {
                    if (U32At(file, before) != 5 || U32At(file, before + 4) != attr ||
                        !IsCStringOf(file.subspan(before + 8, reader.Tell() - before - 8), text)) {
                        return "a text field was read from other bytes than its own";
                    }
                    written = writer.WriteStringField(text, attr);
                    expected.assign(file.begin() + static_cast<std::ptrdiff_t>(before),
                                    file.begin() + static_cast<std::ptrdiff_t>(before + 8));
                    const Bytes tail = CStringOf(text);
                    expected.insert(expected.end(), tail.begin(), tail.end());
                }
                break;
            }
            case 9: {
                palm::PmBlobField blob;
                ok = reader.ReadBlobField(blob);
                if (ok) {
                    const std::size_t length = blob.nForm == 0 ? 0 : blob.nForm <= 3 ? blob.nDataLength : blob.nForm;
                    if (blob.data.size() != length) {
                        return "a binary field holds other data than its length";
                    }
                    written = writer.WriteBlobField(blob);
                }
                break;
            }
            case 10: {
                palm::PmQuad v{};
                ok = reader.ReadQuadField(v);
                if (ok) {
                    written = writer.WriteQuadField(v);
                    expected = {68, 0, 0, 0};
                    expected.insert(expected.end(), v.begin(), v.end());
                }
                break;
            }
            case 11: {
                palm::PmSchema schema;
                ok = reader.ReadSchema(schema) && (written = writer.WriteSchema(schema));
                break;
            }
            case 12: {
                ok = reader.ReadCategorySection();
                if (ok) {
                    if (reader.GetCategoryMgr() == nullptr) {
                        return "a category section was read into no list";
                    }
                    if (std::string broken = CheckCategoryList(*reader.GetCategoryMgr()); !broken.empty()) {
                        return broken;
                    }
                }
                continue;
            }
            case 13: {
                std::string name;
                const auto id = static_cast<std::int32_t>(op >> 4);
                const bool found = reader.GetCategoryText(id, name);
                if (!found && !name.empty()) {
                    return "a category lookup gave a wrong name";
                }
                continue;
            }
        }
        const std::size_t after = reader.Tell();
        if (after < before || after > file.size()) {
            return "the read position left the buffer";
        }
        if (!ok) {
            if (reader.LastError().empty() && op % 14 != 5) {
                return "a failed read gives no reason";
            }
            continue;
        }
        if (!written) {
            return "a value that was read cannot be written: " + writer.LastError();
        }
        const auto consumed = file.subspan(before, after - before);
        const Bytes& out = writer.Written();
        if (expected.empty() ? !SameBytes(out, consumed) : out != expected) {
            return "operation " + std::to_string(op % 14) + " does not write back what it read";
        }
    }
    return {};
}

std::string FuzzHarness::RepeatField(std::span<const std::uint8_t> data) {
    palm::PmDBUtil reader;
    reader.OpenBytes(data);
    palm::PmRepeatRule rule;
    if (!reader.ReadRepeatField(rule)) {
        return reader.LastError().empty() ? "a failed repeat field read gives no reason" : std::string{};
    }
    const std::size_t consumed = reader.Tell();
    reader.BeginWrite();
    if (!reader.WriteRepeatField(rule)) {
        return "a repeat field that was read cannot be written: " + reader.LastError();
    }
    if (!SameBytes(reader.Written(), data.subspan(0, consumed))) {
        return "a repeat field is not written back as it was read";
    }
    return {};
}

std::string FuzzHarness::CategorySection(std::span<const std::uint8_t> data) {
    MemoryFileIo io;
    ScopedFileIo scope(io);
    io.Put(kInputPath, data);
    palm::PmDBUtil reader;
    if (!reader.Open(kInputPath, palm::PM_OPEN_READ)) {
        return "an existing file does not open";
    }
    if (!reader.ReadCategorySection()) {
        return reader.LastError().empty() ? "a failed section read gives no reason" : std::string{};
    }
    if (std::string broken = CheckCategoryList(*reader.GetCategoryMgr()); !broken.empty()) {
        return broken;
    }
    // The section's end is where the records' schema begins: reading the
    // bytes up to it alone gives the same list.
    const std::size_t end = reader.Tell();
    if (end > data.size()) {
        return "the section read past the data";
    }
    palm::PmDBUtil again;
    again.OpenBytes(data.first(end));
    if (!again.ReadCategorySection() || again.Tell() != end) {
        return "the section does not read alone: " + again.LastError();
    }
    return CompareCategoryLists(reader.GetCategoryMgr(), again.GetCategoryMgr());
}

std::string FuzzHarness::ExtendedMemoFile(std::span<const std::uint8_t> data) {
    return CheckWholeFile<palm::PmMemoExUtil>(data);
}

std::string FuzzHarness::ClassicMemoFile(std::span<const std::uint8_t> data) {
    return CheckWholeFile<palm::PmMemoUtil>(data);
}

std::string FuzzHarness::ExtendedTodoFile(std::span<const std::uint8_t> data) {
    return CheckWholeFile<palm::PmTodoExUtil>(data);
}

std::string FuzzHarness::ClassicTodoFile(std::span<const std::uint8_t> data) {
    return CheckWholeFile<palm::PmTodoUtil>(data);
}

std::string FuzzHarness::ExtendedAddressFile(std::span<const std::uint8_t> data) {
    return CheckWholeFile<palm::PmAddrExUtil>(data);
}

std::string FuzzHarness::ClassicAddressFile(std::span<const std::uint8_t> data) {
    return CheckWholeFile<palm::PmAddrUtil>(data);
}

std::string FuzzHarness::ExtendedDateFile(std::span<const std::uint8_t> data) {
    return CheckWholeFile<palm::PmDateExUtil>(data);
}

std::string FuzzHarness::ClassicDateFile(std::span<const std::uint8_t> data) {
    return CheckWholeFile<palm::PmDateUtil>(data);
}

}  // namespace lazrine::testing
