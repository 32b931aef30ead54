#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/palm/PmDataMgr.h"
#include "common/palm/PmStore.h"
#include "common/palm/database/PmAddrEx2Rec.h"
#include "common/palm/database/PmDBEx2Util.h"

namespace lazrine::palm {

using PmAddrEx2DataMgr = PmDataMgr<PmAddrEx2Rec>;

// The address database of Palm Desktop 6 ("address\Address.mdb", table
// "Main", the 95 columns of PmAddrEx2Rec::Columns()).
//
// A load reads every row, deleted ones included, in table order; category
// names come from the table "Category". Save() writes every contact whose
// status differs from the one loaded, all or none, by the shared rule of
// PmDBEx2Util::WriteMainStatuses: only its Status cell, in the row found by
// its Record ID that still holds the first and last name the contact was
// loaded with (NULL equal to the empty text, quotes and any characters
// compared as they are). A contact whose row is gone or changed is never
// inserted as a new row; the save fails with the reason, nothing written.
class PmAddrEx2Util : public PmStore, public PmDBEx2Util {
public:
    static constexpr std::size_t kColumnCount = PmAddrEx2Rec::kColumnCount;
    static const std::vector<std::string>& ColumnNames();
    // The name of column `index`; empty for any other index.
    static std::string ColumnName(std::size_t index);

    PmAddrEx2Util() = default;
    explicit PmAddrEx2Util(const std::string& path) { m_bLoaded = Load(path); }

    PmStoreKind StoreKind() const override { return PM_STORE_DATABASE; }
    bool Load(const std::string& path) override;
    bool LoadForUser(std::uint32_t userId) override;
    bool IsLoaded() const override { return m_bLoaded; }
    bool Save() override;
    void Clear() override { m_DataMgr.Clear(); }

    std::size_t Count() const override { return m_DataMgr.Count(); }
    std::uint32_t RecordIdAt(std::size_t i) const override { return m_DataMgr.At(i).RecordId(); }
    std::uint32_t StatusAt(std::size_t i) const override { return m_DataMgr.At(i).Status(); }
    void SetStatusAt(std::size_t i, std::uint32_t status) override {
        m_DataMgr.At(i).Number(PmAddrEx2Rec::kStatus) = static_cast<std::int32_t>(status);
    }
    const std::string& LastError() const override { return m_szDbError; }
    std::string SourceName() const override { return DatabasePath(); }

    PmAddrEx2DataMgr& GetDataMgr() { return m_DataMgr; }
    const PmAddrEx2DataMgr& GetDataMgr() const { return m_DataMgr; }

    // A loaded row (95 values in column order) into `rec`; false, and `rec`
    // unchanged, for another number of values. A value that does not
    // convert leaves its member as it was.
    static bool RowToRecord(const PmValues& values, PmAddrEx2Rec& rec);
    // One value into the member of column `index`; false when it does not
    // convert (the member is unchanged).
    static bool ValueToField(const PmVariant& value, std::size_t index, PmAddrEx2Rec& rec);
    // The member of column `index` as the value written to it.
    static bool FieldToValue(const PmAddrEx2Rec& rec, std::size_t index, PmVariant& value);
    // Every column marked compared is equal (texts byte for byte).
    static bool SameRecord(const PmAddrEx2Rec& a, const PmAddrEx2Rec& b);

private:
    bool LoadRows();

    bool m_bLoaded = false;
    PmAddrEx2DataMgr m_DataMgr;
};

}  // namespace lazrine::palm
