#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/palm/PmDataMgr.h"
#include "common/palm/PmStore.h"
#include "common/palm/database/PmDBEx2Util.h"
#include "common/palm/database/PmDateEx2Rec.h"

namespace lazrine::palm {

using PmDateEx2DataMgr = PmDataMgr<PmDateEx2Rec>;

// The date book database of Palm Desktop 6 ("datebook\DateBook.mdb", table
// "Main").
//
// A load reads every row of "Main", deleted ones included, in table order.
// Save() writes every record whose status differs from the one loaded, all
// or none, by the shared rule of the database stores: its row is found by
// its Record ID (the table's primary key), its key texts (Start Time, End
// Time, Summary) and its status must still be those it was loaded with, and
// then only its Status cell is written. A row that is gone or changed fails
// the save with the reason and nothing is written; a row is never
// inserted.
class PmDateEx2Util : public PmStore, public PmDBEx2Util {
public:
    // The sixteen date book columns of "Main", in index order.
    static constexpr std::size_t kColumnCount = 16;
    static const std::vector<std::string>& ColumnNames();
    // The name of column `index`; empty for any other index.
    static std::string ColumnName(std::size_t index);

    PmDateEx2Util() = default;
    explicit PmDateEx2Util(const std::string& path) { m_bLoaded = Load(path); }

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

    PmDateEx2DataMgr& GetDataMgr() { return m_DataMgr; }
    const PmDateEx2DataMgr& GetDataMgr() const { return m_DataMgr; }

    // A row (sixteen values in column order) into `rec`; false, and `rec`
    // unchanged, for another number of values. A value that does not convert
    // leaves its member as it was.
    static bool RowToRecord(const PmValues& values, PmDateEx2Rec& rec);

private:
    bool LoadRows();

    bool m_bLoaded = false;
    PmDateEx2DataMgr m_DataMgr;
};

}  // namespace lazrine::palm
