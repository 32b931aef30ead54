#pragma once

#include <memory>
#include <string>

#include "common/misc/CommAddrMgr.h"
#include "common/palm/PmAddrExUtil.h"
#include "common/palm/PmAddrUtil.h"
#include "common/palm/PmRecordSetOf.h"
#include "common/palm/database/PmAddrEx2Util.h"
#include "common/palm/handheld/PmHandheldStore.h"

namespace lazrine::palm {

// The address book record set: the database, then the extended file, then
// the classic file, then a handheld backup (AddressDB). The name order of the record files ("SwapName" in
// section "ContactMirror" of the settings file) is read from tamrisk.ini
// beside the program, or from the settings file named with UseSettingsFile;
// it applies to the loads that follow.
class PmAddrInfo : public PmRecordSetOf<misc::CommAddrMgr> {
public:
    PmAddrInfo();

    static const PmKindInfo& KindInfo();
    const PmKindInfo& Kind() const override { return KindInfo(); }
    // Which store generation reads `path`: 3, 2, 1 or 4, else 255.
    static PmStoreKind ProbeFile(const std::string& path);
    // Whether the settings file asks for the swapped name order: its
    // "SwapName" is exactly 1 (a missing file or key reads as 0).
    static bool ReadSwapName(const std::string& settingsFile);

    void UseSettingsFile(const std::string& settingsFile) override;
    void SetSwapName(bool swap);
    bool GetSwapName() const { return m_bSwapName; }

    PmAddrUtil& Classic() { return *m_pClassic; }
    PmAddrExUtil& Extended() { return *m_pExtended; }
    PmAddrEx2Util& Database() { return *m_pDatabase; }
    const PmHandheldStore& Handheld() const { return *m_pHandheld; }

protected:
    std::unique_ptr<PmRecordSet> CreateEmpty() const override;
    void BuildCommon(const PmRecordEntry& entry) override;

private:
    bool m_bSwapName = false;
    std::unique_ptr<PmAddrUtil> m_pClassic;
    std::unique_ptr<PmAddrExUtil> m_pExtended;
    std::unique_ptr<PmAddrEx2Util> m_pDatabase;
    std::unique_ptr<PmHandheldStore> m_pHandheld;
};

}  // namespace lazrine::palm
