#pragma once

#include <memory>
#include <string>

#include "common/misc/CommDateMgr.h"
#include "common/palm/PmDateExUtil.h"
#include "common/palm/PmDateUtil.h"
#include "common/palm/PmRecordSetOf.h"
#include "common/palm/database/PmDateEx2Util.h"
#include "common/palm/handheld/PmHandheldStore.h"

namespace lazrine::palm {

// The date book record set: the database, then the extended file, then the
// classic file, then a handheld backup (DatebookDB). Start and end become local calendar fields through PmTime;
// the private and alarm flags are taken from every record that carries them
// (the extended record's private flag, the database's Private and Alarm
// columns, the classic record's private and alarm fields), else "No".
class PmDateInfo : public PmRecordSetOf<misc::CommDateMgr> {
public:
    PmDateInfo();

    static const PmKindInfo& KindInfo();
    const PmKindInfo& Kind() const override { return KindInfo(); }
    // Which store generation reads `path`: 3, 2, 1 or 4, else 255.
    static PmStoreKind ProbeFile(const std::string& path);

    PmDateUtil& Classic() { return *m_pClassic; }
    PmDateExUtil& Extended() { return *m_pExtended; }
    PmDateEx2Util& Database() { return *m_pDatabase; }
    const PmHandheldStore& Handheld() const { return *m_pHandheld; }

protected:
    std::unique_ptr<PmRecordSet> CreateEmpty() const override;
    void BuildCommon(const PmRecordEntry& entry) override;

private:
    std::unique_ptr<PmDateUtil> m_pClassic;
    std::unique_ptr<PmDateExUtil> m_pExtended;
    std::unique_ptr<PmDateEx2Util> m_pDatabase;
    std::unique_ptr<PmHandheldStore> m_pHandheld;
};

}  // namespace lazrine::palm
