#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/palm/database/PmCategoryEx2Mgr.h"
#include "common/palm/database/PmInfoEx2.h"
#include "common/palm/database/PmMDBAccessor.h"

namespace lazrine::palm {

// What the four database stores share: the accessor of the store's kind,
// the category list and the information record, and the table-independent
// steps of loading and writing rows of "Main". A store (PmDbStore) adds its
// column table and its conversions between rows and records.
//
// Writes follow one rule (WriteMainStatuses): an undelete changes exactly one
// cell per record, the Status of the record's row, found by its Record ID
// (the primary key) and still holding the key texts it was loaded with; no
// other column is rewritten, and a record whose row is gone or changed is
// never added or overwritten, but reported, with the file untouched. The
// records of one save are written together, all or none.
class PmDBEx2Util {
public:
    PmDBEx2Util() = default;
    virtual ~PmDBEx2Util() = default;
    PmDBEx2Util(const PmDBEx2Util&) = delete;
    PmDBEx2Util& operator=(const PmDBEx2Util&) = delete;

    // Binds the store's accessor (created on the first call) to `path` and
    // opens the connection; false for an empty path, a missing file, a file
    // the engine cannot open, and a database of another kind (see
    // MainFitsKind).
    bool OpenDatabase(PmKind kind, const std::string& path);
    // Whether the columns of a table "Main" belong to a database of `kind`:
    // every kind but the memo pad has columns of its own (a to-do list
    // "Description" and "Due Date", a date book "Start Time" and "End Time",
    // an address book "First Name" and "Last Name"); the table must have
    // those of `kind` and none of another kind's. `why` says what did not fit.
    static bool MainFitsKind(PmKind kind, const std::vector<std::string>& columns, std::string& why);
    // Reads "Category" into the category list; false without a database.
    bool LoadCategories();
    // Reads "Information" into the information record; false without a database.
    bool LoadInfo();
    // The first row of "Main" with that record id, over `names`.
    bool SelectMainByRecordId(std::int32_t id, std::span<const std::string> names, PmValues& values);
    // The first row of "Main" that the WHERE clause selects, over `names`.
    // False when none is found; then the error text is empty, unless the
    // statement could not run.
    bool SelectMainWhere(std::string_view where, std::span<const std::string> names, PmValues& values);

    const PmCategoryEx2Mgr& GetCategoryMgr() const { return m_CatMgr; }
    // The name the table "Category" gives `id`; empty when none. A record
    // holds only its category's id: the name is held once, here, and stays
    // valid until the categories are read again.
    std::string_view CategoryName(std::int32_t id) const;
    // The database file the store is bound to; empty before the first open.
    std::string DatabasePath() const { return m_pAccessor ? m_pAccessor->Path() : std::string{}; }
    const PmInfoEx2& GetInfo() const { return m_Info; }

    // The text a key cell is compared by: a text as it is, a NULL cell as
    // the empty text, a number as its decimal, a Yes/No as "1" or "0".
    static std::string StatusKeyText(const PmVariant& value);

protected:
    // One record's change of Status, from the value loaded to the one wanted,
    // with the texts of the key columns its row was loaded with.
    struct StatusChange {
        std::uint32_t nRecordId = 0;
        std::uint32_t nLoadedStatus = 0;
        std::uint32_t nStatus = 0;
        std::vector<std::string> keyTexts;
    };
    // Sets the Status cell of the row of every change from its loaded value
    // to the one wanted, and nothing else, as one write: all or none. Each
    // row is looked up by its Record ID; each of `keyNames` must still hold,
    // as StatusKeyText, the text in the change's `keyTexts`, and its Status
    // must still be the loaded value (or already the wanted one: then that
    // cell is not written). A row that is gone, found twice or changed fails
    // the whole write with the reason and nothing is written; cells are
    // changed in place, never by adding a row. No change writes nothing.
    bool WriteMainStatuses(std::span<const std::string> keyNames, std::span<const StatusChange> changes);
    // Every row of "Main" over `names`, in table order, handed to `add` as
    // the engine reads it (`add` may take the values). False, with the
    // reason, when the table could not be read to its end: the rows handed
    // over until then are not the table and are to be dropped.
    bool LoadMainRows(std::span<const std::string> names, const std::function<void(PmValues&)>& add);
    // About how many rows LoadMainRows hands over, as the last OpenDatabase
    // found it (see PmJetEngine::ColumnNames), to size the records.
    std::size_t MainRowCountHint() const { return m_nMainRowsHint; }

    std::unique_ptr<PmMDBAccessor> m_pAccessor;
    PmCategoryEx2Mgr m_CatMgr;
    PmInfoEx2 m_Info;
    std::size_t m_nMainRowsHint = 0;
    // Why the last operation failed, and the kind of that failure (kOther
    // unless set otherwise); empty and kNone after a success.
    std::string m_szDbError;
    platform::IoFailure m_nDbFailure = platform::IoFailure::kNone;
    platform::IoFailure DbFailure() const {
        return m_szDbError.empty()                         ? platform::IoFailure::kNone
               : m_nDbFailure == platform::IoFailure::kNone ? platform::IoFailure::kOther
                                                            : m_nDbFailure;
    }
    void ClearDbError() {
        m_szDbError.clear();
        m_nDbFailure = platform::IoFailure::kNone;
    }

private:
    // Checks the row of one change and adds its Status cell to the
    // connection's batch.
    bool QueueMainStatus(std::span<const std::string> keyNames, const StatusChange& change);
};

}  // namespace lazrine::palm
