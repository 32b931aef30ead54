#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/palm/database/PmJetJournal.h"
#include "common/palm/database/PmVariant.h"
#include "platform/IoError.h"

namespace lazrine::palm {

// The database engine behind the accessor: one Access (Jet) ".mdb" file,
// driven by the statement language of the SQL builders (see PmSqlStatement).
//
// Reading goes through libmdb: tables, columns, rows, memo values and
// compressed Unicode text. A SELECT returns, per matching row, the requested
// columns as values: Long, Integer and Byte as VT_I4, Yes/No as VT_BOOL,
// texts and memos as VT_BSTR (UTF-8, whole), NULL and every other type as
// VT_EMPTY. A WHERE term compares a cell with a literal; a NULL text cell
// equals the empty text '' so that a record whose text is empty finds its
// row whether the database stored NULL or "".
//
// Writing is done by this class alone and only in place: an UPDATE may set
// Long, Integer and Byte cells that are not NULL (the bytes of the cell in
// its data page are overwritten) and Yes/No cells (the cell's bit in the
// row's null mask is flipped); the cell of an overflow row is changed where
// the row's data lies, which its slot points to. Anything else - a text, a
// NULL cell, an indexed column, INSERT, DELETE, an encrypted or non-Jet-4
// file, a file changed since it was opened - is refused with a reason before any byte is
// written, so the file stays byte-identical. Before the first write the file
// is copied to "<file>.lazrine.bak" (an existing backup is kept). The cells
// of one UPDATE, or of one batch of them, are written all or none behind a
// rollback journal and flushed before success is reported (PmJetJournal);
// Open first puts back what a crash interrupted.
//
// The file is never held whole (see PmJetPages): Open reads it once in
// chunks, keeping a hash of every page, and each page read later is checked
// against what the load saw, so that a file changed by another program fails
// as IoFailure::kChangedSinceLoaded instead of mixing two versions of it.
// The rows and long values of a queried table are read by this class, page
// by page. libmdb, which parses the catalog and the table definitions, reads
// from a buffer as large as the file that is allocated zeroed and left
// untouched (so it costs no memory) except for the pages it follows: page 0,
// the pages PmJetValidator reads while it checks a table before libmdb reads
// it (its definition chain, its usage-map rows and map pages), and for the
// catalog every page of its usage map, the pages its overflow rows point
// to and the long-value chains of its LvProp values. The same code serves a
// libmdb that reads the buffer through a stream (fmemopen) and one patched to
// read it directly. A page libmdb might follow outside that set (only in a
// malformed file) reads as zeros: never bytes of another version, never
// outside the buffer. OpenBytes hands libmdb the bytes themselves.
//
// Every structure libmdb follows (catalog, table definitions, usage maps) is
// checked on the raw bytes before it is followed (see PmJetValidator), and
// the rows of a table are found by this class: slots flagged deleted (0x8000)
// are passed over, overflow slots (0x4000) followed to their data. Malformed
// or hostile files make operations fail with a reason; no input makes the
// engine read outside the file.
class PmJetEngine {
public:
    PmJetEngine();
    ~PmJetEngine();
    PmJetEngine(const PmJetEngine&) = delete;
    PmJetEngine& operator=(const PmJetEngine&) = delete;

    // Opens the file at `path` for reading, and for in-place writes; a file
    // that is not a database fails as IoFailure::kOther.
    bool Open(const std::string& path, platform::IoError& error);
    // Opens a database held in memory; every write is refused.
    bool OpenBytes(std::vector<std::uint8_t> bytes, std::string& error);
    void Close();
    bool IsOpen() const;
    const std::string& Path() const;

    // The names of the columns of `table`, in column order, and, when
    // `rowCountHint` is given, how many rows the table holds as its
    // definition states it, to size what a SELECT of the whole table is read
    // into: a hint, never more than the table's data pages could hold, so
    // that a damaged definition cannot make a reader set aside more than the
    // file's own rows could need.
    bool ColumnNames(const std::string& table, std::vector<std::string>& names, std::string& error,
                     std::size_t* rowCountHint = nullptr);
    // Runs a SELECT and hands every matching row to `row` as the scan finds
    // it, in table order, one value list at a time: `row` may take (move
    // from) the values it keeps, and returns false to end the scan there,
    // which is no failure. False when the statement cannot run or the scan
    // fails part-way (`error` says why); the rows handed over before then
    // are not the whole result.
    bool Query(std::string_view sql, const std::function<bool(PmValues&)>& row, std::string& error);
    // The same, collecting the rows: `rows` receives every matching row in
    // table order, or none after a failure.
    bool Query(std::string_view sql, std::vector<PmValues>& rows, std::string& error);
    // Runs an UPDATE (INSERT and DELETE are refused). `changedRows` counts
    // the rows the WHERE clause matched.
    bool Execute(std::string_view sql, std::size_t& changedRows, std::string& error);

    // Between BeginBatch and CommitBatch an UPDATE writes nothing: its cell
    // changes are checked and planned as above and collected. CommitBatch
    // writes every collected change or none (see PmJetJournal::Write); a
    // batch without changes writes nothing. AbortBatch (and Close) drops the
    // collected changes; an Execute that fails adds nothing to the batch.
    void BeginBatch();
    bool CommitBatch(platform::IoError& error);
    void AbortBatch();
    bool InBatch() const;

private:
    struct Impl;
    bool WritePatches(const std::vector<PmJetPatch>& patches, platform::IoError& error);
    std::unique_ptr<Impl> m_pImpl;
};

}  // namespace lazrine::palm
