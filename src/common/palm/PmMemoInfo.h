#pragma once

#include <memory>
#include <string>

#include "common/misc/CommNoteMgr.h"
#include "common/palm/PmMemoExUtil.h"
#include "common/palm/PmMemoUtil.h"
#include "common/palm/PmRecordSetOf.h"
#include "common/palm/database/PmMemoEx2Util.h"
#include "common/palm/handheld/PmHandheldStore.h"

namespace lazrine::palm {

// The memo record set: the extended file, then the database, then the
// classic file, then a handheld backup (MemoDB).
class PmMemoInfo : public PmRecordSetOf<misc::CommNoteMgr> {
public:
    PmMemoInfo();

    static const PmKindInfo& KindInfo();
    const PmKindInfo& Kind() const override { return KindInfo(); }
    // Which store generation reads `path`: 2, 3, 1 or 4, else 255.
    static PmStoreKind ProbeFile(const std::string& path);

    PmMemoUtil& Classic() { return *m_pClassic; }
    PmMemoExUtil& Extended() { return *m_pExtended; }
    PmMemoEx2Util& Database() { return *m_pDatabase; }
    const PmHandheldStore& Handheld() const { return *m_pHandheld; }

protected:
    std::unique_ptr<PmRecordSet> CreateEmpty() const override;
    void BuildCommon(const PmRecordEntry& entry) override;

private:
    std::unique_ptr<PmMemoUtil> m_pClassic;
    std::unique_ptr<PmMemoExUtil> m_pExtended;
    std::unique_ptr<PmMemoEx2Util> m_pDatabase;
    std::unique_ptr<PmHandheldStore> m_pHandheld;
};

}  // namespace lazrine::palm
