#pragma once

#include <memory>
#include <string>

#include "common/misc/CommTaskMgr.h"
#include "common/palm/PmRecordSetOf.h"
#include "common/palm/PmTodoExUtil.h"
#include "common/palm/PmTodoUtil.h"
#include "common/palm/database/PmTodoEx2Util.h"
#include "common/palm/handheld/PmHandheldStore.h"

namespace lazrine::palm {

// The to-do record set: the database, then the extended file, then the
// classic file, then a handheld backup (ToDoDB).
class PmTodoInfo : public PmRecordSetOf<misc::CommTaskMgr> {
public:
    PmTodoInfo();

    static const PmKindInfo& KindInfo();
    const PmKindInfo& Kind() const override { return KindInfo(); }
    // Which store generation reads `path`: 3, 2, 1 or 4, else 255.
    static PmStoreKind ProbeFile(const std::string& path);

    PmTodoUtil& Classic() { return *m_pClassic; }
    PmTodoExUtil& Extended() { return *m_pExtended; }
    PmTodoEx2Util& Database() { return *m_pDatabase; }
    const PmHandheldStore& Handheld() const { return *m_pHandheld; }

protected:
    std::unique_ptr<PmRecordSet> CreateEmpty() const override;
    void BuildCommon(const PmRecordEntry& entry) override;

private:
    std::unique_ptr<PmTodoUtil> m_pClassic;
    std::unique_ptr<PmTodoExUtil> m_pExtended;
    std::unique_ptr<PmTodoEx2Util> m_pDatabase;
    std::unique_ptr<PmHandheldStore> m_pHandheld;
};

}  // namespace lazrine::palm
