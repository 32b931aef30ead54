#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/palm/PmDataMgr.h"
#include "common/palm/PmStore.h"
#include "common/palm/database/PmDBEx2Util.h"
#include "common/palm/database/PmTodoEx2Rec.h"

namespace lazrine::palm {

using PmTodoEx2DataMgr = PmDataMgr<PmTodoEx2Rec>;

// The to-do database of Palm Desktop 6 ("todo\Todolist.mdb", table "Main").
//
// A load reads every row of "Main", deleted ones included, in table order;
// a database of another kind is refused. Save() writes every task whose
// status differs from the one loaded, all or none: its row is found by its
// Record ID (the table's primary key), checked to still hold the
// Description, Due Date and Status it was loaded with, and then only its
// Status cell is written, in place. A row that is gone or changed since the
// load fails the save with the reason and nothing is written; no row is
// ever added.
class PmTodoEx2Util : public PmStore, public PmDBEx2Util {
public:
    // The seventeen to-do columns of "Main", in index order.
    static constexpr std::size_t kColumnCount = 17;
    static const std::vector<std::string>& ColumnNames();
    // The name of column `index`; empty for any other index.
    static std::string ColumnName(std::size_t index);

    PmTodoEx2Util() = default;
    explicit PmTodoEx2Util(const std::string& path) { m_bLoaded = Load(path); }

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

    PmTodoEx2DataMgr& GetDataMgr() { return m_DataMgr; }
    const PmTodoEx2DataMgr& GetDataMgr() const { return m_DataMgr; }

    // A loaded row (seventeen values in column order) into `rec`; false,
    // and `rec` unchanged, for another number of values. A value that does
    // not convert leaves its member as it was.
    static bool RowToRecord(const PmValues& values, PmTodoEx2Rec& rec);

private:
    bool m_bLoaded = false;
    PmTodoEx2DataMgr m_DataMgr;
};

}  // namespace lazrine::palm
