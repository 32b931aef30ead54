#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/palm/PmDataMgr.h"
#include "common/palm/PmStore.h"
#include "common/palm/database/PmDBEx2Util.h"
#include "common/palm/database/PmDbTable.h"
#include "common/palm/desktop/PmUserDataPath.h"

namespace lazrine::palm {

// The database store of every kind of Palm Desktop 6 data (table "Main"),
// as the record-file stores share PmFileStore. A kind `Kind` derives from
// PmDbStore<Kind, Rec> and gives, as statics:
//   Table()           its column table (PmDbTable);
//   ReadRow(row, rec) a row of Table().columns into the record's members
//                     (texts are moved out of the row);
//   KeyTexts(rec)     the loaded texts of Table().keyColumns;
// and, for a record without the members nRecordId, nStatus and nCategoryId,
// RecordIdOf, StatusOf, SetStatusOf and CategoryIdOf.
//
// A load reads every row, deleted ones included, in table order, each into
// its record as the engine reads it (no row is held besides the records); a
// database of another kind is refused, and a load that fails, at the first
// row or part-way, leaves no records. Category names come from the table
// "Category", held once by the store (CategoryName), and are a convenience:
// a database without a readable one still lists its records, each without a
// name.
// Save() writes every record whose status differs from the one loaded, all
// or none, by PmDBEx2Util::WriteMainStatuses: only its Status cell, in the
// row found by its Record ID that still holds the key texts and the status
// it was loaded with. A row that is gone or changed is never inserted or
// overwritten; the save fails with the reason and nothing is written.
template <class Kind, class Rec>
class PmDbStore : public PmStore, public PmDBEx2Util {
public:
    PmDbStore() = default;
    // Loads `path` at once; IsLoaded() tells the result.
    explicit PmDbStore(const std::string& path) { m_bLoaded = Load(path); }

    // The columns of "Main" a load reads, in index order.
    static const std::vector<std::string>& ColumnNames() { return Kind::Table().columns; }
    // The name of column `index`; empty for any other index.
    static std::string ColumnName(std::size_t index) {
        return index < ColumnNames().size() ? ColumnNames()[index] : std::string();
    }
    // A loaded row (a value per column, in column order) into `rec`, its
    // texts moved, not copied, out of `values`; false, and both unchanged,
    // for another number of values. A value that does not convert leaves
    // its member as it was.
    static bool RowToRecord(PmValues& values, Rec& rec) {
        if (values.size() != ColumnNames().size()) {
            return false;
        }
        Kind::ReadRow(values, rec);
        return true;
    }
    static bool RowToRecord(PmValues&& values, Rec& rec) { return RowToRecord(values, rec); }

    PmStoreKind StoreKind() const override { return PM_STORE_DATABASE; }

    bool Load(const std::string& path) override {
        m_bLoaded = false;
        m_DataMgr.Clear();
        ClearDbError();
        if (path.empty()) {
            m_szDbError = "no file name given";
            return false;
        }
        bool read = OpenDatabase(Kind::Table().nKind, path);
        if (read) {
            m_DataMgr.Reserve(MainRowCountHint());
            read = LoadMainRows(ColumnNames(), [this](PmValues& values) {
                Rec rec;
                RowToRecord(values, rec);
                rec.nLoadedStatus = Kind::StatusOf(rec);
                m_DataMgr.Add(std::move(rec));
            });
        }
        if (!read) {
            m_DataMgr.Clear();
            return false;
        }
        LoadCategories();
        m_bLoaded = true;
        return true;
    }

    // Loads the kind's database in the user's data folder.
    bool LoadForUser(std::uint32_t userId) override {
        std::string path;
        const PmKindInfo& info = PmKindInfo::Of(Kind::Table().nKind);
        ClearDbError();
        if (!PmUserDataPath::DataFilePath(userId, info.szDbFolder, info.szDbFile, path, m_szDbError)) {
            m_bLoaded = false;
            m_DataMgr.Clear();
            return false;
        }
        return Load(path);
    }

    bool IsLoaded() const override { return m_bLoaded; }

    // Writes every record whose status differs from the one loaded, as one
    // write; once written, that status counts as loaded.
    bool Save() override {
        std::vector<StatusChange> changes;
        std::vector<std::size_t> indexes;
        for (std::size_t i = 0; i < m_DataMgr.Count(); ++i) {
            const Rec& rec = m_DataMgr.At(i);
            if (Kind::StatusOf(rec) != rec.nLoadedStatus) {
                changes.push_back({Kind::RecordIdOf(rec), rec.nLoadedStatus, Kind::StatusOf(rec), Kind::KeyTexts(rec)});
                indexes.push_back(i);
            }
        }
        if (!WriteMainStatuses(Kind::Table().keyColumns, changes)) {
            return false;
        }
        for (std::size_t k = 0; k < indexes.size(); ++k) {
            m_DataMgr.At(indexes[k]).nLoadedStatus = changes[k].nStatus;
        }
        return true;
    }

    void Clear() override { m_DataMgr.Clear(); }
    std::size_t Count() const override { return m_DataMgr.Count(); }
    std::uint32_t RecordIdAt(std::size_t i) const override { return Kind::RecordIdOf(m_DataMgr.At(i)); }
    std::uint32_t StatusAt(std::size_t i) const override { return Kind::StatusOf(m_DataMgr.At(i)); }
    void SetStatusAt(std::size_t i, std::uint32_t status) override { Kind::SetStatusOf(m_DataMgr.At(i), status); }
    const std::string& LastError() const override { return m_szDbError; }
    platform::IoFailure LastFailure() const override { return DbFailure(); }
    std::string SourceName() const override { return DatabasePath(); }

    PmDataMgr<Rec>& GetDataMgr() { return m_DataMgr; }
    const PmDataMgr<Rec>& GetDataMgr() const { return m_DataMgr; }

    // A record's identity, status and category, for the records that hold
    // them as members; a kind that holds them otherwise hides these.
    static std::uint32_t RecordIdOf(const Rec& rec) { return rec.nRecordId; }
    static std::uint32_t StatusOf(const Rec& rec) { return rec.nStatus; }
    static void SetStatusOf(Rec& rec, std::uint32_t status) { rec.nStatus = status; }
    static std::int32_t CategoryIdOf(const Rec& rec) { return rec.nCategoryId; }

private:
    bool m_bLoaded = false;
    PmDataMgr<Rec> m_DataMgr;
};

}  // namespace lazrine::palm
