#pragma once

#include <cstdint>
#include <string>

#include "common/palm/PmDataMgr.h"
#include "common/palm/PmStore.h"
#include "common/palm/database/PmMemoEx2Rec.h"

namespace lazrine::palm {

using PmMemoEx2DataMgr = PmDataMgr<PmMemoEx2Rec>;

// The memo database of Palm Desktop 6 ("MemoPad\MemoPad.mdb", table "Main").
// Undeleted records are written one at a time, at once (UpdateRecord), so
// Save() has nothing left to write.
class PmMemoEx2Util : public PmStore {
public:
    PmMemoEx2Util() = default;
    explicit PmMemoEx2Util(const std::string& path) { m_bLoaded = Load(path); }

    PmStoreKind StoreKind() const override { return PM_STORE_DATABASE; }
    bool Load(const std::string& path) override;
    bool LoadForUser(std::uint32_t userId) override;
    bool IsLoaded() const override { return m_bLoaded; }
    bool Save() override { return true; }
    void Clear() override { m_DataMgr.Clear(); }

    std::size_t Count() const override { return m_DataMgr.Count(); }
    std::uint32_t RecordIdAt(std::size_t i) const override { return m_DataMgr.At(i).nRecordId; }
    std::uint32_t StatusAt(std::size_t i) const override { return m_DataMgr.At(i).nStatus; }
    void SetStatusAt(std::size_t i, std::uint32_t status) override { m_DataMgr.At(i).nStatus = status; }
    bool WritesAtOnce() const override { return true; }
    bool UpdateRecord(std::size_t index) override;
    const std::string& LastError() const override { return m_szLastError; }

    PmMemoEx2DataMgr& GetDataMgr() { return m_DataMgr; }
    const PmMemoEx2DataMgr& GetDataMgr() const { return m_DataMgr; }

private:
    bool m_bLoaded = false;
    PmMemoEx2DataMgr m_DataMgr;
    std::string m_szLastError;
};

}  // namespace lazrine::palm
