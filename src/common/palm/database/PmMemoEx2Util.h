#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/palm/PmDataMgr.h"
#include "common/palm/PmStore.h"
#include "common/palm/database/PmDBEx2Util.h"
#include "common/palm/database/PmMemoEx2Rec.h"

namespace lazrine::palm {

using PmMemoEx2DataMgr = PmDataMgr<PmMemoEx2Rec>;

// The memo database of Palm Desktop 6 ("MemoPad\MemoPad.mdb", table "Main").
//
// A load reads every row of "Main", deleted ones included, in table order.
// Save() writes every record whose status differs from the one loaded, all
// or none: exactly its Status cell, in the row found by "Record ID" that
// still holds the "Note" it was loaded with (see
// PmDBEx2Util::WriteMainStatuses); no other cell is written, whatever it
// holds. A record whose row is gone or changed is not written (never
// inserted as a second row) and the save fails with the reason, nothing
// written; so does a write the engine refuses.
class PmMemoEx2Util : public PmStore, public PmDBEx2Util {
public:
    // The six memo columns of "Main", in index order.
    static constexpr std::size_t kColumnCount = 6;
    static const std::vector<std::string>& ColumnNames();
    // The name of column `index`; empty for any other index.
    static std::string ColumnName(std::size_t index);

    PmMemoEx2Util() = default;
    explicit PmMemoEx2Util(const std::string& path) { m_bLoaded = Load(path); }

    PmStoreKind StoreKind() const override { return PM_STORE_DATABASE; }
    bool Load(const std::string& path) override;
    bool LoadForUser(std::uint32_t userId) override;
    bool IsLoaded() const override { return m_bLoaded; }
    bool Save() override;
    void Clear() override { m_DataMgr.Clear(); }

    std::size_t Count() const override { return m_DataMgr.Count(); }
    std::uint32_t RecordIdAt(std::size_t i) const override { return m_DataMgr.At(i).nRecordId; }
    std::uint32_t StatusAt(std::size_t i) const override { return m_DataMgr.At(i).nStatus; }
    void SetStatusAt(std::size_t i, std::uint32_t status) override { m_DataMgr.At(i).nStatus = status; }
    const std::string& LastError() const override { return m_szDbError; }
    std::string SourceName() const override { return DatabasePath(); }

    PmMemoEx2DataMgr& GetDataMgr() { return m_DataMgr; }
    const PmMemoEx2DataMgr& GetDataMgr() const { return m_DataMgr; }

    // Conversions between rows and records.
    // A loaded row (six values in column order) into `rec`; false, and `rec`
    // unchanged, for another number of values.
    static bool RowToRecord(const PmValues& values, PmMemoEx2Rec& rec);
    // One value of a looked-up row into its member; a value that does not
    // convert leaves the member unchanged.
    static bool ValueToField(const PmVariant& value, std::size_t index, PmMemoEx2Rec& rec);
    // One member as the value written to its column.
    static bool FieldToValue(const PmMemoEx2Rec& rec, std::size_t index, PmVariant& value);
    // Record ID, Status, Category id, Private and Note equal (Placement is
    // not compared).
    static bool SameRecord(const PmMemoEx2Rec& a, const PmMemoEx2Rec& b);
    // The indexes of the columns in which `rec` differs from its row `found`.
    static std::vector<std::size_t> ListChanges(const PmMemoEx2Rec& rec, const PmMemoEx2Rec& found);

private:
    bool LoadRows();

    bool m_bLoaded = false;
    PmMemoEx2DataMgr m_DataMgr;
};

}  // namespace lazrine::palm
