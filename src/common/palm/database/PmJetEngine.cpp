#include "common/palm/database/PmJetEngine.h"

#include <mdbtools.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <span>
#include <utility>

#include "common/palm/PmDataHead.h"
#include "common/palm/database/PmJetJournal.h"
#include "common/palm/database/PmJetPages.h"
#include "common/palm/database/PmJetText.h"
#include "common/palm/database/PmJetValidator.h"
#include "common/palm/database/PmSqlStatement.h"

namespace lazrine::palm {
namespace {

// A slot flagged "deleted" is passed over by a scan: a deleted row, or the
// data of an overflow row, which only its pointer reaches. A slot flagged
// "overflow" holds a pointer (row byte, 3-byte page) to where the row's data
// now lies. A deleted row may carry both flags.
constexpr std::uint32_t kSlotDeleted = 0x8000;
constexpr std::uint32_t kSlotOverflow = 0x4000;
// Pointers followed from one slot to its data; Jet writes one.
constexpr int kMaxOverflowHops = 8;
constexpr int kMemoHeader = 12;

struct MdbCloser {
    void operator()(MdbHandle* h) const { mdb_close(h); }
};
struct TableCloser {
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};
struct MemoryFreer {
    void operator()(std::uint8_t* p) const { std::free(p); }
};
using MdbPtr = std::unique_ptr<MdbHandle, MdbCloser>;
using TablePtr = std::unique_ptr<MdbTableDef, TableCloser>;
using ShadowPtr = std::unique_ptr<std::uint8_t, MemoryFreer>;

// Keeps the file open and locked for the pages of one operation. Release
// tells whether the file closed cleanly: an operation that ends with a
// failed close fails, as any failed read of the database does.
class PageHold {
public:
    explicit PageHold(const PmJetPages& pages) : m_Pages(pages) { m_Pages.Hold(); }
    ~PageHold() { Release(); }
    PageHold(const PageHold&) = delete;
    PageHold& operator=(const PageHold&) = delete;
    bool Release() { return std::exchange(m_bHeld, false) ? m_Pages.Release() : true; }

private:
    const PmJetPages& m_Pages;
    bool m_bHeld = true;
};

// Pages served while it lives are copied into libmdb's buffer as well.
class PageMirror {
public:
    PageMirror(const PmJetPages& pages, std::uint8_t* buffer) : m_Pages(pages) { m_Pages.MirrorInto(buffer); }
    ~PageMirror() { m_Pages.MirrorInto(nullptr); }
    PageMirror(const PageMirror&) = delete;
    PageMirror& operator=(const PageMirror&) = delete;

private:
    const PmJetPages& m_Pages;
};

std::uint32_t Get16(const std::uint8_t* p, int off) {
    return static_cast<std::uint32_t>(p[off] | (p[off + 1] << 8));
}
std::uint32_t Get32(const std::uint8_t* p, int off) {
    return static_cast<std::uint32_t>(p[off]) | (static_cast<std::uint32_t>(p[off + 1]) << 8) |
           (static_cast<std::uint32_t>(p[off + 2]) << 16) | (static_cast<std::uint32_t>(p[off + 3]) << 24);
}

MdbColumn* ColumnAt(MdbTableDef* t, unsigned i) { return static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i)); }

bool IsTextType(int type) { return type == MDB_TEXT || type == MDB_MEMO; }
bool IsFixedIntType(int type) { return type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT; }
int FixedSize(int type) { return type == MDB_BYTE ? 1 : type == MDB_INT ? 2 : 4; }

// One row as the scan hands it over: its place and libmdb's cracked fields.
struct RowView {
    std::uint32_t nPage = 0;
    int nSlot = 0;
    bool bMoved = false;
    int nStart = 0;
    int nSize = 0;
    const MdbField* pFields = nullptr;
};

// Every Jet (and ACE) file starts with a database page naming its format.
constexpr std::string_view kJetTag = "Standard Jet DB";
constexpr std::string_view kAceTag = "Standard ACE DB";
constexpr std::size_t kMinDatabaseSize = 4096;

// False, with the reason Attach would give, when the first bytes of `path`
// show it is no database: a record file tried as a database is then never
// read whole. A failure to open or read it fails as the whole read would.
bool LooksLikeDatabase(const std::string& path, platform::IoError& error) {
    if (path.empty()) {
        return error.Fail(platform::IoFailure::kOther, "no file name given");
    }
    std::vector<std::uint8_t> head;
    std::uint64_t size = 0;
    if (!PmDataHead::Read(path, head, &error, &size)) {
        return false;
    }
    if (size < kMinDatabaseSize) {
        return error.Fail(platform::IoFailure::kOther, "the file is too short to be a database");
    }
    const std::string_view tag(reinterpret_cast<const char*>(head.data()) + 4, kJetTag.size());
    if (head[0] != 0 || (tag != kJetTag && tag != kAceTag)) {
        return error.Fail(platform::IoFailure::kOther, "the file is not an Access database");
    }
    return true;
}

}  // namespace

struct PmJetEngine::Impl {
    std::string szPath;
    bool bWritable = false;
    PmJetPages pages;
    // What libmdb reads of a database on file: as large as the file, with
    // only the pages it needs filled in (see Attach).
    ShadowPtr shadow;
    MdbPtr mdb;
    // The cell changes of the UPDATEs since BeginBatch, not written yet.
    bool bBatch = false;
    std::vector<PmJetPatch> batch;
    std::map<std::uint64_t, std::size_t> batchCells;  // offset and length of each

    int PageSize() const { return static_cast<int>(mdb->fmt->pg_size); }
    int RowCountOffset() const { return mdb->fmt->row_count_offset; }
    std::size_t PageCount() const { return pages.PageCount(); }

    // A failure to read the file as loaded outweighs what it made the
    // structures look like.
    bool ReadFailure(std::string& error) const {
        if (pages.Failed()) {
            error = pages.Failure().szText;
        }
        return false;
    }

    bool Attach(std::string& error) {
        mdb.reset();
        shadow.reset();
        pages.ClearFailure();
        PageHold hold(pages);
        PmJetPages::Page head;
        if (pages.Size() < kMinDatabaseSize || !pages.Read(0, head)) {
            error = "the file is too short to be a database";
            return ReadFailure(error);
        }
        const std::string_view tag(reinterpret_cast<const char*>(head.bytes.data()) + 4, kJetTag.size());
        if (head.bytes[0] != 0 || (tag != kJetTag && tag != kAceTag)) {
            error = "the file is not an Access database";
            return false;
        }
        std::uint8_t* buffer = pages.Memory();
        if (buffer == nullptr) {
            // Memory the system hands out zeroed and unbacked until written.
            shadow.reset(static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(pages.Size()), 1)));
            if (!shadow) {
                error = "the database is too large to open";
                return false;
            }
            buffer = shadow.get();
        }
        const PageMirror mirror(pages, shadow.get());
        if (shadow && !pages.Read(0, head)) {
            return ReadFailure(error);
        }
        mdb.reset(mdb_open_buffer(buffer, static_cast<std::size_t>(pages.Size()), MDB_NOFLAGS));
        if (!mdb) {
            error = "the file is not an Access database";
            return false;
        }
        if (mdb->fmt == nullptr || (mdb->fmt->pg_size != 4096 && mdb->fmt->pg_size != 2048) ||
            (mdb->f->jet_version == MDB_VER_JET3) != (mdb->fmt->pg_size == 2048) ||
            static_cast<std::size_t>(mdb->fmt->pg_size) != pages.PageSize()) {
            mdb.reset();
            error = "the database header is damaged";
            return false;
        }
        // The catalog is a table itself, defined on page 2.
        std::vector<std::uint32_t> catalog;
        if (!Validator().CheckTable(2, "MSysObjects", catalog, error) || (shadow && !MirrorCatalog(catalog))) {
            mdb.reset();
            return ReadFailure(error);
        }
        if (mdb_read_catalog(mdb.get(), MDB_TABLE) == nullptr) {
            mdb.reset();
            error = "the database catalog cannot be read";
            return false;
        }
        if (!hold.Release()) {
            mdb.reset();
            return ReadFailure(error);
        }
        return true;
    }

    // Reads, while they are mirrored, the pages the catalog reader follows
    // past the structures CheckTable read: every page the catalog's usage
    // map lists, the page each overflow row of it points to, and the
    // long-value pages of each row's LvProp value, its whole chain. More
    // rows are followed than the catalog reader takes (deleted ones too), so
    // that every page it reads holds the file's bytes. False only when the
    // file cannot be read as loaded.
    bool MirrorCatalog(const std::vector<std::uint32_t>& catalog) {
        const PmJetValidator check = Validator();
        PmJetPages::Page page;
        for (const std::uint32_t pg : catalog) {
            if (!pages.Read(pg, page)) {
                return !pages.Failed();
            }
        }
        MdbCatalogEntry entry{};
        entry.mdb = mdb.get();
        entry.object_type = MDB_TABLE;
        entry.table_pg = 2;
        TablePtr table(mdb_read_table(&entry));
        if (!table || mdb_read_columns(table.get()) == nullptr || table->num_cols > MDB_MAX_COLS) {
            return true;
        }
        unsigned props = 0;
        if (!FindColumn(table.get(), "LvProp", props)) {
            return true;
        }
        std::vector<MdbField> fields(MDB_MAX_COLS);
        std::vector<std::uint8_t> value;
        for (const std::uint32_t pg : catalog) {
            if (!pages.Read(pg, page) || page.bytes[0] != 0x01) {
                continue;
            }
            const int rows = static_cast<int>(Get16(page.bytes.data(), RowCountOffset()));
            for (int slot = 0; slot < rows; ++slot) {
                std::size_t start = 0;
                std::size_t end = 0;
                std::uint32_t flags = 0;
                if (!check.FindRow(pg, slot, start, end, flags)) {
                    continue;
                }
                PmJetPages::Page other;
                if ((flags & kSlotOverflow) != 0) {
                    if (end - start >= 4) {
                        pages.Read(Get32(page.bytes.data(), static_cast<int>(start)) >> 8, other);
                    }
                    continue;
                }
                CopyToPageBuffer(pg, page.bytes);
                const int n = mdb_crack_row(table.get(), static_cast<int>(start), end - start, fields.data());
                const MdbField& f = fields[props];
                if (n <= static_cast<int>(props) || f.is_null || f.siz < kMemoHeader || f.value == nullptr) {
                    continue;
                }
                const auto* cell = static_cast<const std::uint8_t*>(f.value);
                const std::uint32_t header = Get32(cell, 0);
                std::uint32_t next = (header & 0x80000000U) != 0 ? 0 : Get32(cell, 4);
                const bool chained = (header & 0xC0000000U) == 0;
                for (std::size_t hops = 0; next != 0 && hops <= PageCount(); ++hops) {
                    std::size_t rowStart = 0;
                    std::size_t rowEnd = 0;
                    if (!pages.Read(next >> 8, other) || !chained ||
                        !check.FindRow(next >> 8, static_cast<int>(next & 0xFF), rowStart, rowEnd, flags) ||
                        rowEnd - rowStart < 4) {
                        break;
                    }
                    next = Get32(other.bytes.data(), static_cast<int>(rowStart));
                }
            }
        }
        return !pages.Failed();
    }

    PmJetValidator Validator() const { return PmJetValidator(pages, mdb->f->jet_version == MDB_VER_JET3); }

    // The table with its columns and, when asked, its indexes (libmdb reads
    // those from the page its column reader stopped on, so right after it).
    // Every structure libmdb follows is checked first; `pages` receives the
    // table's data pages from its usage map.
    TablePtr OpenTable(const std::string& name, bool withIndexes, std::vector<std::uint32_t>& dataPages,
                       std::string& error) {
        MdbCatalogEntry* entry = nullptr;
        for (unsigned i = 0; mdb->catalog != nullptr && i < mdb->catalog->len; ++i) {
            auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (e != nullptr && e->object_type == MDB_TABLE && g_ascii_strcasecmp(e->object_name, name.c_str()) == 0) {
                entry = e;
                break;
            }
        }
        if (entry == nullptr) {
            error = "the database has no table " + name;
            return nullptr;
        }
        dataPages.clear();
        pages.ClearFailure();
        PageHold hold(pages);
        const PageMirror mirror(pages, shadow.get());
        if (entry->table_pg > std::numeric_limits<std::uint32_t>::max() ||
            !Validator().CheckTable(static_cast<std::uint32_t>(entry->table_pg), name, dataPages, error) ||
            !hold.Release()) {
            if (error.empty()) {
                error = "the database is damaged: table " + name + " has no valid definition page";
            }
            ReadFailure(error);
            return nullptr;
        }
        TablePtr table(mdb_read_table(entry));
        if (!table) {
            error = "the definition of table " + name + " cannot be read";
            return nullptr;
        }
        if (mdb_read_columns(table.get()) == nullptr || table->num_cols == 0 || table->num_cols > MDB_MAX_COLS) {
            error = "the columns of table " + name + " cannot be read";
            return nullptr;
        }
        if (withIndexes) {
            mdb_read_indices(table.get());
            if (table->indices == nullptr) {
                error = "the indexes of table " + name + " cannot be read";
                return nullptr;
            }
        }
        return table;
    }

    static bool FindColumn(MdbTableDef* t, const std::string& name, unsigned& index) {
        for (unsigned i = 0; i < t->num_cols; ++i) {
            if (g_ascii_strcasecmp(ColumnAt(t, i)->name, name.c_str()) == 0) {
                index = i;
                return true;
            }
        }
        return false;
    }

    // One row of a long-value (memo or OLE) page, by its page-and-row pointer.
    bool ReadLongValueRow(std::uint32_t pgRow, std::vector<std::uint8_t>& out, std::string& error) {
        const std::uint32_t pg = pgRow >> 8;
        const int row = static_cast<int>(pgRow & 0xFF);
        std::size_t start = 0;
        std::size_t end = 0;
        std::uint32_t flags = 0;
        PmJetPages::Page page;
        if (pg == 0 || !Validator().FindRow(pg, row, start, end, flags) || !pages.Read(pg, page)) {
            error = "a memo value points outside the database";
            return ReadFailure(error);
        }
        out.assign(page.bytes.begin() + static_cast<std::ptrdiff_t>(start), page.bytes.begin() + static_cast<std::ptrdiff_t>(end));
        return true;
    }

    // The bytes of a memo or OLE cell, whole: inline, on one long-value page
    // or chained over several.
    bool ReadLongValue(const std::uint8_t* cell, int size, std::vector<std::uint8_t>& out, std::string& error) {
        out.clear();
        if (size < kMemoHeader) {
            return true;
        }
        const std::uint32_t header = Get32(cell, 0);
        const std::size_t length = header & 0x3FFFFFFF;
        std::vector<std::uint8_t> part;
        if ((header & 0x80000000U) != 0) {
            if (length > static_cast<std::size_t>(size - kMemoHeader)) {
                error = "a memo value is longer than its row";
                return false;
            }
            out.assign(cell + kMemoHeader, cell + kMemoHeader + length);
            return true;
        }
        if ((header & 0x40000000U) != 0) {
            if (!ReadLongValueRow(Get32(cell, 4), part, error)) {
                return false;
            }
            if (length > part.size()) {
                error = "a memo value is longer than its page";
                return false;
            }
            out.assign(part.begin(), part.begin() + static_cast<std::ptrdiff_t>(length));
            return true;
        }
        if ((header & 0xFF000000U) != 0) {
            error = "a memo value has an unknown form";
            return false;
        }
        std::uint32_t next = Get32(cell, 4);
        for (std::size_t hops = 0; next != 0 && out.size() < length; ++hops) {
            if (hops > PageCount() || !ReadLongValueRow(next, part, error)) {
                if (error.empty()) {
                    error = "a memo value's page chain loops";
                }
                return false;
            }
            if (part.size() < 4) {
                error = "a memo page row is too short";
                return false;
            }
            next = Get32(part.data(), 0);
            out.insert(out.end(), part.begin() + 4, part.end());
        }
        if (out.size() < length) {
            error = "a memo value ends early";
            return false;
        }
        out.resize(length);
        return true;
    }

    // The value of one cracked cell of the row in mdb->pg_buf.
    bool CellValue(MdbColumn* col, const MdbField& f, PmVariant& v, std::string& error) {
        v = PmVariant{};
        const std::uint8_t* page = mdb->pg_buf;
        if (col->col_type == MDB_BOOL) {
            v.vt = VT_BOOL;
            v.boolVal = f.is_null ? 0 : 1;
            return true;
        }
        if (f.is_null) {
            return true;
        }
        if (f.start < 0 || f.siz < 0 || f.start + f.siz > PageSize()) {
            error = "a cell lies outside its page";
            return false;
        }
        const std::uint8_t* cell = page + f.start;
        switch (col->col_type) {
            case MDB_BYTE:
            case MDB_INT:
            case MDB_LONGINT:
                if (f.siz != FixedSize(col->col_type)) {
                    error = "a number cell has the wrong size";
                    return false;
                }
                v.vt = VT_I4;
                v.lVal = col->col_type == MDB_BYTE  ? static_cast<std::int32_t>(cell[0])
                         : col->col_type == MDB_INT ? static_cast<std::int16_t>(Get16(cell, 0))
                                                    : static_cast<std::int32_t>(Get32(cell, 0));
                return true;
            case MDB_TEXT:
                v.vt = VT_BSTR;
                v.bstrVal = PmJetText::ToUtf8({cell, static_cast<std::size_t>(f.siz)});
                v.bBstrNull = v.bstrVal.empty();
                return true;
            case MDB_MEMO: {
                std::vector<std::uint8_t> raw;
                if (!ReadLongValue(cell, f.siz, raw, error)) {
                    return false;
                }
                v.vt = VT_BSTR;
                v.bstrVal = PmJetText::ToUtf8(raw);
                v.bBstrNull = v.bstrVal.empty();
                return true;
            }
            default:
                return true;  // dates, floats, binaries: not handed over
        }
    }

    static bool TextIsInteger(const std::string& text, std::int64_t want) { return text == std::to_string(want); }

    bool TermMatches(MdbColumn* col, const MdbField& f, const PmSqlLiteral& lit, bool& match, std::string& error) {
        if (lit.nKind == PmSqlLiteral::kBinary) {
            error = "binary values cannot be compared";
            return false;
        }
        PmVariant v;
        if (!CellValue(col, f, v, error)) {
            return false;
        }
        match = false;
        switch (v.vt) {
            case VT_I4:
                match = lit.nKind == PmSqlLiteral::kInteger ? lit.nValue == v.lVal : TextIsInteger(lit.szText, v.lVal);
                break;
            case VT_BOOL:
                match = lit.nKind == PmSqlLiteral::kInteger && (lit.nValue != 0) == (v.boolVal != 0);
                break;
            case VT_BSTR:
                match = lit.nKind == PmSqlLiteral::kText ? lit.szText == v.bstrVal : TextIsInteger(v.bstrVal, lit.nValue);
                break;
            default:
                // A NULL text equals the empty text.
                match = f.is_null && IsTextType(col->col_type) && lit.nKind == PmSqlLiteral::kText && lit.szText.empty();
                break;
        }
        return true;
    }

    // Puts a page into libmdb's page buffer, where its row cracker reads:
    // from memory as libmdb reads it, from the file as a verified page. (An
    // encrypted file, whose pages libmdb deciphers, is not read from file.)
    bool ToPageBuffer(std::uint32_t page) {
        if (!shadow) {
            return mdb_read_pg(mdb.get(), page) == PageSize();
        }
        PmJetPages::Page bytes;
        if (mdb->f->db_key != 0) {
            return false;
        }
        if (!pages.Read(page, bytes) || bytes.bytes.size() != static_cast<std::size_t>(PageSize())) {
            return false;
        }
        CopyToPageBuffer(page, bytes.bytes);
        return true;
    }

    void CopyToPageBuffer(std::uint32_t page, std::span<const std::uint8_t> bytes) {
        std::memcpy(mdb->pg_buf, bytes.data(), bytes.size());
        mdb->cur_pg = page;
    }

    // Calls `fn` for every live row of the table, in stored order: the
    // table's data pages as its usage map lists them, each page's slots in
    // order, read under one hold of the file. A slot flagged deleted is
    // passed over; an overflow slot is followed to the row's data, which
    // `fn` sees with its own page and slot.
    bool Scan(MdbTableDef* t, const std::vector<std::uint32_t>& dataPages,
              const std::function<bool(const RowView&, std::string&)>& fn, std::string& error) {
        pages.ClearFailure();
        PageHold hold(pages);
        const bool scanned = ScanPages(t, dataPages, fn, error);
        return (hold.Release() && scanned) || ReadFailure(error);
    }

    bool ScanPages(MdbTableDef* t, const std::vector<std::uint32_t>& dataPages,
                   const std::function<bool(const RowView&, std::string&)>& fn, std::string& error) {
        const int pgSize = PageSize();
        const int rco = RowCountOffset();
        const PmJetValidator check = Validator();
        const std::uint32_t owner = static_cast<std::uint32_t>(t->entry->table_pg);
        const std::string name(t->name);
        std::vector<MdbField> fields(MDB_MAX_COLS);
        auto crack = [&](RowView& row) {
            const int n = mdb_crack_row(t, row.nStart, static_cast<std::size_t>(row.nSize), fields.data());
            if (n < static_cast<int>(t->num_cols)) {
                error = "a row of table " + name + " cannot be read";
                return false;
            }
            for (unsigned i = 0; i < t->num_cols; ++i) {
                if (fields[i].colnum != static_cast<int>(i)) {
                    error = "a row of table " + name + " is malformed";
                    return false;
                }
            }
            row.pFields = fields.data();
            return true;
        };
        auto ownedDataPage = [&](std::uint32_t page) {
            std::uint8_t type = 0;
            std::uint32_t pageOwner = 0;
            return check.PageKind(page, type, pageOwner) && type == 0x01 && pageOwner == owner;
        };
        for (const std::uint32_t page : dataPages) {
            // A page the map lists but that holds no rows of this table
            // (freed, or reused by another object) has nothing to read.
            if (!ownedDataPage(page)) {
                if (pages.Failed()) {
                    return false;
                }
                continue;
            }
            if (!ToPageBuffer(page)) {
                error = "a data page of table " + name + " cannot be read";
                return false;
            }
            const int rows = static_cast<int>(Get16(mdb->pg_buf, rco));
            if (rco + 2 + rows * 2 > pgSize) {
                error = "a data page of table " + name + " is corrupt";
                return false;
            }
            for (int slot = 0; slot < rows; ++slot) {
                if ((Get16(mdb->pg_buf, rco + 2 + slot * 2) & kSlotDeleted) != 0) {
                    continue;
                }
                std::size_t start = 0;
                std::size_t end = 0;
                std::uint32_t flags = 0;
                if (!check.FindRow(page, slot, start, end, flags)) {
                    error = "a row slot of table " + name + " is corrupt";
                    return false;
                }
                RowView row;
                row.nPage = page;
                row.nSlot = slot;
                if ((flags & kSlotOverflow) != 0) {
                    // The slot holds the row number and page of the data.
                    int hops = 0;
                    for (; (flags & kSlotOverflow) != 0 && hops < kMaxOverflowHops; ++hops) {
                        const std::uint64_t at = static_cast<std::uint64_t>(row.nPage) * static_cast<std::uint64_t>(pgSize) + start;
                        std::uint8_t pointer[4] = {};
                        if (end - start < 4) {
                            error = "an overflow row of table " + name + " is corrupt";
                            return false;
                        }
                        if (!pages.ReadAt(at, pointer)) {
                            error = "a data page of table " + name + " cannot be read";
                            return false;
                        }
                        const std::uint32_t ptr = Get32(pointer, 0);
                        row.nPage = ptr >> 8;
                        row.nSlot = static_cast<int>(ptr & 0xFF);
                        if (!ownedDataPage(row.nPage) || !check.FindRow(row.nPage, row.nSlot, start, end, flags)) {
                            error = "an overflow row of table " + name + " points nowhere";
                            return false;
                        }
                    }
                    if ((flags & kSlotOverflow) != 0) {
                        error = "the overflow rows of table " + name + " form a chain too long to follow";
                        return false;
                    }
                    row.bMoved = true;
                    if (row.nPage != page && !ToPageBuffer(row.nPage)) {
                        error = "a data page of table " + name + " cannot be read";
                        return false;
                    }
                }
                row.nStart = static_cast<int>(start);
                row.nSize = static_cast<int>(end - start);
                const bool ok = crack(row) && fn(row, error);
                if (row.nPage != page && !ToPageBuffer(page)) {
                    if (ok) {
                        error = "a data page of table " + name + " cannot be read again";
                    }
                    return false;
                }
                if (!ok) {
                    return false;
                }
            }
        }
        return true;
    }

    bool RowMatches(MdbTableDef* t, const RowView& row, const std::vector<std::pair<unsigned, const PmSqlLiteral*>>& where,
                    bool& match, std::string& error) {
        match = true;
        for (const auto& [col, lit] : where) {
            if (!TermMatches(ColumnAt(t, col), row.pFields[col], *lit, match, error)) {
                return false;
            }
            if (!match) {
                return true;
            }
        }
        return true;
    }

    bool ResolveWhere(MdbTableDef* t, const PmSqlStatement& st,
                      std::vector<std::pair<unsigned, const PmSqlLiteral*>>& where, std::string& error) {
        for (const PmSqlTerm& term : st.Where()) {
            unsigned col = 0;
            if (!FindColumn(t, term.szColumn, col)) {
                error = "table " + st.Table() + " has no column [" + term.szColumn + "]";
                return false;
            }
            where.emplace_back(col, &term.literal);
        }
        return true;
    }

    static bool IsIndexed(MdbTableDef* t, unsigned col) {
        if (t->indices == nullptr) {
            return false;
        }
        for (unsigned i = 0; i < t->indices->len; ++i) {
            const auto* idx = static_cast<const MdbIndex*>(g_ptr_array_index(t->indices, i));
            for (unsigned k = 0; k < idx->num_keys && k < MDB_MAX_IDX_COLS; ++k) {
                if (idx->key_col_num[k] == static_cast<int>(col) + 1) {
                    return true;
                }
            }
        }
        return false;
    }
};

PmJetEngine::PmJetEngine() : m_pImpl(std::make_unique<Impl>()) {}
PmJetEngine::~PmJetEngine() = default;

bool PmJetEngine::Open(const std::string& path, platform::IoError& error) {
    Close();
    // An undelete interrupted by a crash is taken back before anything is read.
    if (!PmJetJournal::Recover(path, error)) {
        return false;
    }
    if (!LooksLikeDatabase(path, error)) {
        return false;
    }
    Impl& m = *m_pImpl;
    if (!m.pages.Load(path, error)) {
        return false;
    }
    std::string malformed;
    if (!m.Attach(malformed)) {
        const platform::IoError failure = m.pages.Failed() ? m.pages.Failure()
                                                            : platform::IoError{platform::IoFailure::kOther, malformed};
        Close();
        error = failure;
        return false;
    }
    m.szPath = path;
    m_pImpl->bWritable = true;
    return true;
}

bool PmJetEngine::OpenBytes(std::vector<std::uint8_t> bytes, std::string& error) {
    Close();
    m_pImpl->pages.Assign(std::move(bytes));
    if (!m_pImpl->Attach(error)) {
        Close();
        return false;
    }
    return true;
}

void PmJetEngine::Close() {
    m_pImpl->mdb.reset();
    m_pImpl->shadow.reset();
    m_pImpl->pages.Clear();
    m_pImpl->szPath.clear();
    m_pImpl->bWritable = false;
    AbortBatch();
}

void PmJetEngine::BeginBatch() {
    AbortBatch();
    m_pImpl->bBatch = true;
}

void PmJetEngine::AbortBatch() {
    m_pImpl->batch.clear();
    m_pImpl->batchCells.clear();
    m_pImpl->bBatch = false;
}

bool PmJetEngine::InBatch() const { return m_pImpl->bBatch; }

bool PmJetEngine::CommitBatch(platform::IoError& error) {
    std::vector<PmJetPatch> patches = std::move(m_pImpl->batch);
    AbortBatch();
    return patches.empty() || WritePatches(patches, error);
}

bool PmJetEngine::IsOpen() const { return m_pImpl->mdb != nullptr; }
const std::string& PmJetEngine::Path() const { return m_pImpl->szPath; }

bool PmJetEngine::ColumnNames(const std::string& table, std::vector<std::string>& names, std::string& error,
                              std::size_t* rowCountHint) {
    names.clear();
    if (!IsOpen()) {
        error = "no database is open";
        return false;
    }
    std::vector<std::uint32_t> pages;
    TablePtr def = m_pImpl->OpenTable(table, false, pages, error);
    if (!def) {
        return false;
    }
    for (unsigned i = 0; i < def->num_cols; ++i) {
        names.emplace_back(ColumnAt(def.get(), i)->name);
    }
    if (rowCountHint != nullptr) {
        // A row takes at least its 2-byte slot and its 2-byte column count.
        const std::size_t most = pages.size() * static_cast<std::size_t>(m_pImpl->PageSize()) / 4;
        *rowCountHint = std::min<std::size_t>(def->num_rows, most);
    }
    return true;
}

bool PmJetEngine::Query(std::string_view sql, std::vector<PmValues>& rows, std::string& error) {
    rows.clear();
    const bool ok = Query(
        sql,
        [&rows](PmValues& values) {
            rows.push_back(std::move(values));
            return true;
        },
        error);
    if (!ok) {
        rows.clear();
    }
    return ok;
}

bool PmJetEngine::Query(std::string_view sql, const std::function<bool(PmValues&)>& row, std::string& error) {
    if (!IsOpen()) {
        error = "no database is open";
        return false;
    }
    PmSqlStatement st;
    if (!PmSqlStatement::Parse(sql, st, error)) {
        return false;
    }
    if (st.Kind() != PM_SQL_SELECT) {
        error = "only a SELECT returns rows";
        return false;
    }
    Impl& m = *m_pImpl;
    std::vector<std::uint32_t> pages;
    TablePtr table = m.OpenTable(st.Table(), false, pages, error);
    if (!table) {
        return false;
    }
    std::vector<unsigned> cols;
    cols.reserve(st.Columns().size());
    for (const std::string& name : st.Columns()) {
        unsigned col = 0;
        if (!Impl::FindColumn(table.get(), name, col)) {
            error = "table " + st.Table() + " has no column [" + name + "]";
            return false;
        }
        cols.push_back(col);
    }
    std::vector<std::pair<unsigned, const PmSqlLiteral*>> where;
    if (!m.ResolveWhere(table.get(), st, where, error)) {
        return false;
    }
    // One value list serves every row: the caller takes what it keeps.
    PmValues values;
    bool stopped = false;
    const bool ok = m.Scan(
        table.get(), pages,
        [&](const RowView& view, std::string& err) {
            bool match = false;
            if (!m.RowMatches(table.get(), view, where, match, err)) {
                return false;
            }
            if (!match) {
                return true;
            }
            values.assign(cols.size(), PmVariant{});
            for (std::size_t i = 0; i < cols.size(); ++i) {
                if (!m.CellValue(ColumnAt(table.get(), cols[i]), view.pFields[cols[i]], values[i], err)) {
                    return false;
                }
            }
            // Stopping is not a failure: the scan ends with no error.
            stopped = !row(values);
            return !stopped;
        },
        error);
    return ok || stopped;
}

bool PmJetEngine::Execute(std::string_view sql, std::size_t& changedRows, std::string& error) {
    changedRows = 0;
    if (!IsOpen()) {
        error = "no database is open";
        return false;
    }
    PmSqlStatement st;
    if (!PmSqlStatement::Parse(sql, st, error)) {
        return false;
    }
    switch (st.Kind()) {
        case PM_SQL_UPDATE:
            break;
        case PM_SQL_INSERT:
            error = "adding rows is not supported: only existing cells are changed, in place";
            return false;
        case PM_SQL_DELETE:
            error = "removing rows is not supported";
            return false;
        default:
            error = "a SELECT does not change the database";
            return false;
    }
    Impl& m = *m_pImpl;
    if (!m.bWritable) {
        error = "the database was opened for reading only";
        return false;
    }
    if (m.mdb->f->db_key != 0) {
        error = "the database is encrypted; it is not changed";
        return false;
    }
    if (m.mdb->f->jet_version != MDB_VER_JET4) {
        error = "only Access 2000 (Jet 4) databases are changed";
        return false;
    }
    std::vector<std::uint32_t> pages;
    TablePtr table = m.OpenTable(st.Table(), true, pages, error);
    if (!table) {
        return false;
    }
    struct Assign {
        unsigned col;
        MdbColumn* column;
        std::int64_t value;
    };
    std::vector<Assign> assigns;
    for (const PmSqlTerm& term : st.Assignments()) {
        unsigned col = 0;
        if (!Impl::FindColumn(table.get(), term.szColumn, col)) {
            error = "table " + st.Table() + " has no column [" + term.szColumn + "]";
            return false;
        }
        MdbColumn* column = ColumnAt(table.get(), col);
        if (Impl::IsIndexed(table.get(), col)) {
            error = "column [" + term.szColumn + "] is indexed; it is not changed in place";
            return false;
        }
        if (!IsFixedIntType(column->col_type) && column->col_type != MDB_BOOL) {
            error = "column [" + term.szColumn + "] is not a number or Yes/No column; it is not changed in place";
            return false;
        }
        if (term.literal.nKind != PmSqlLiteral::kInteger) {
            error = "column [" + term.szColumn + "] can only be given a number";
            return false;
        }
        const std::int64_t v = term.literal.nValue;
        const bool inRange = column->col_type == MDB_BYTE   ? (v >= 0 && v <= 255)
                             : column->col_type == MDB_INT  ? (v >= -32768 && v <= 32767)
                             : column->col_type == MDB_BOOL ? (v >= -1 && v <= 1)
                                                            : (v >= std::numeric_limits<std::int32_t>::min() &&
                                                               v <= std::numeric_limits<std::int32_t>::max());
        if (!inRange) {
            error = "the value " + std::to_string(v) + " does not fit column [" + term.szColumn + "]";
            return false;
        }
        assigns.push_back({col, column, v});
    }
    std::vector<std::pair<unsigned, const PmSqlLiteral*>> where;
    if (!m.ResolveWhere(table.get(), st, where, error)) {
        return false;
    }
    const int pgSize = m.PageSize();
    std::vector<PmJetPatch> patches;
    std::size_t matched = 0;
    const bool planned = m.Scan(
        table.get(), pages,
        [&](const RowView& row, std::string& err) {
            bool match = false;
            if (!m.RowMatches(table.get(), row, where, match, err)) {
                return false;
            }
            if (!match) {
                return true;
            }
            ++matched;
            const std::size_t rowPatches = patches.size();
            // An overflow row's cells are changed where its data lies.
            const std::uint8_t* page = m.mdb->pg_buf;
            const std::uint64_t pageBase = static_cast<std::uint64_t>(row.nPage) * static_cast<std::uint64_t>(pgSize);
            for (const Assign& a : assigns) {
                const MdbField& f = row.pFields[a.col];
                PmJetPatch p;
                if (a.column->col_type == MDB_BOOL) {
                    // A Yes/No value is the column's bit in the row's null mask.
                    const int rowCols = static_cast<int>(Get16(page, row.nStart));
                    const int maskSize = (rowCols + 7) / 8;
                    const int bit = a.column->col_num;
                    if (maskSize <= 0 || maskSize > row.nSize - 2 || bit < 0 || bit >= rowCols) {
                        err = "the null mask of a matching row is malformed";
                        return false;
                    }
                    const int at = row.nStart + row.nSize - maskSize + bit / 8;
                    const std::uint8_t mask = static_cast<std::uint8_t>(1U << (bit % 8));
                    const bool set = (page[at] & mask) != 0;
                    if (set == (f.is_null != 0)) {
                        err = "the Yes/No value of a matching row cannot be located";
                        return false;
                    }
                    const bool want = a.value != 0;
                    if (want == set) {
                        continue;
                    }
                    p.nOffset = pageBase + static_cast<std::uint64_t>(at);
                    // Yes/No values of one row may share a mask byte: one
                    // change of that byte carries them all.
                    const auto same = std::find_if(patches.begin() + static_cast<std::ptrdiff_t>(rowPatches), patches.end(),
                                                   [&](const PmJetPatch& q) { return q.nOffset == p.nOffset; });
                    if (same != patches.end()) {
                        same->after[0] ^= mask;
                        continue;
                    }
                    p.before = {page[at]};
                    p.after = {static_cast<std::uint8_t>(page[at] ^ mask)};
                } else {
                    const int size = FixedSize(a.column->col_type);
                    if (f.is_null) {
                        err = "column [" + std::string(a.column->name) + "] of a matching row is NULL; it is not filled in place";
                        return false;
                    }
                    if (f.siz != size || f.start < row.nStart || f.start + size > row.nStart + row.nSize) {
                        err = "a cell of a matching row is malformed";
                        return false;
                    }
                    p.nOffset = pageBase + static_cast<std::uint64_t>(f.start);
                    p.before.assign(page + f.start, page + f.start + size);
                    const auto u = static_cast<std::uint32_t>(static_cast<std::int32_t>(a.value));
                    for (int i = 0; i < size; ++i) {
                        p.after.push_back(static_cast<std::uint8_t>((u >> (8 * i)) & 0xFF));
                    }
                    if (p.after == p.before) {
                        continue;
                    }
                }
                patches.push_back(std::move(p));
            }
            return true;
        },
        error);
    table.reset();
    if (!planned) {
        return false;
    }
    changedRows = matched;
    if (!m.bBatch) {
        platform::IoError failure;
        if (patches.empty() || WritePatches(patches, failure)) {
            return true;
        }
        error = failure.szText;
        return false;
    }
    // Cells of one batch are disjoint, so that each is written from the
    // bytes it was checked against and put back to them.
    for (const PmJetPatch& p : patches) {
        const auto next = m.batchCells.lower_bound(p.nOffset);
        const bool meetsNext = next != m.batchCells.end() && next->first < p.nOffset + p.before.size();
        const bool meetsPrevious = next != m.batchCells.begin() && std::prev(next)->first + std::prev(next)->second > p.nOffset;
        if (meetsNext || meetsPrevious) {
            error = "two changes of one write meet in the same cell; nothing was changed";
            return false;
        }
    }
    for (PmJetPatch& p : patches) {
        m.batchCells.emplace(p.nOffset, p.before.size());
        m.batch.push_back(std::move(p));
    }
    return true;
}

bool PmJetEngine::WritePatches(const std::vector<PmJetPatch>& patches, platform::IoError& error) {
    Impl& m = *m_pImpl;
    // Each cell is checked against the page as loaded; the pages it lies
    // in, with the change made, give the hashes the file has once written.
    const std::size_t pageSize = m.pages.PageSize();
    std::map<std::uint32_t, std::vector<std::uint8_t>> written;
    {
        m.pages.ClearFailure();
        PageHold hold(m.pages);
        for (const PmJetPatch& p : patches) {
            const std::uint64_t first = p.nOffset / pageSize;
            PmJetPages::Page page;
            const bool inPage = !p.before.empty() && (p.nOffset + p.before.size() - 1) / pageSize == first &&
                                first < m.pages.PageCount();
            if (!inPage || !m.pages.Read(static_cast<std::uint32_t>(first), page)) {
                if (m.pages.Failed()) {
                    error = m.pages.Failure();
                    return false;
                }
                return error.Fail(platform::IoFailure::kOther,
                                  "a cell is not where the database says it is; nothing was changed");
            }
            const std::size_t at = static_cast<std::size_t>(p.nOffset % pageSize);
            auto [it, fresh] = written.try_emplace(static_cast<std::uint32_t>(first));
            if (fresh) {
                it->second.assign(page.bytes.begin(), page.bytes.end());
            }
            if (!std::equal(p.before.begin(), p.before.end(), page.bytes.begin() + static_cast<std::ptrdiff_t>(at))) {
                return error.Fail(platform::IoFailure::kOther,
                                  "a cell is not where the database says it is; nothing was changed");
            }
            std::copy(p.after.begin(), p.after.end(), it->second.begin() + static_cast<std::ptrdiff_t>(at));
        }
        if (!hold.Release()) {
            error = m.pages.Failure();
            return false;
        }
    }
    if (!PmJetJournal::Write(m.szPath, m.pages.Loaded(), patches, error)) {
        return false;
    }
    m.mdb.reset();
    for (const auto& [page, bytes] : written) {
        m.pages.Replace(page, bytes);
    }
    std::string reopenError;
    if (!m.Attach(reopenError)) {
        // The write is done and durable; only our view of the file is gone.
        m.mdb.reset();
    }
    return true;
}

}  // namespace lazrine::palm
