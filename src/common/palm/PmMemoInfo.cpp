#include "common/palm/PmMemoInfo.h"

namespace lazrine::palm {

PmMemoInfo::PmMemoInfo()
    : m_pClassic(std::make_unique<PmMemoUtil>()),
      m_pExtended(std::make_unique<PmMemoExUtil>()),
      m_pDatabase(std::make_unique<PmMemoEx2Util>()),
      m_pHandheld(std::make_unique<PmHandheldStore>(PmKind::kMemos)) {
    SetStores({m_pExtended.get(), m_pDatabase.get(), m_pClassic.get(), m_pHandheld.get()});
}

const PmKindInfo& PmMemoInfo::KindInfo() { return PmKindInfo::Of(PmKind::kMemos); }

PmStoreKind PmMemoInfo::ProbeFile(const std::string& path) { return PmMemoInfo().Probe(path); }

std::unique_ptr<PmRecordSet> PmMemoInfo::CreateEmpty() const { return std::make_unique<PmMemoInfo>(); }

void PmMemoInfo::BuildCommon(const PmRecordEntry& entry) {
    misc::CommNoteRec rec;
    switch (entry.nKind) {
        case PM_STORE_EXTENDED: {
            const PmMemoExRec& native = m_pExtended->GetDataMgr().At(entry.nNative);
            rec.SetText(native.szMemo);
            rec.nPrivate = native.nPrivate;
            rec.szCategory = CategoryName(native.nCategoryId, native.szCategory);
            rec.nSource = misc::CommRecord::kSourceExtended;
            break;
        }
        case PM_STORE_DATABASE: {
            const PmMemoEx2Rec& native = m_pDatabase->GetDataMgr().At(entry.nNative);
            rec.SetText(native.szNote);
            rec.nPrivate = native.nPrivate;
            rec.szCategory = CategoryName(native.nCategoryId, m_pDatabase->CategoryName(native.nCategoryId));
            rec.nSource = misc::CommRecord::kSourceDatabase;
            break;
        }
        case PM_STORE_CLASSIC: {
            const PmMemoRec& native = m_pClassic->GetDataMgr().At(entry.nNative);
            rec.SetText(native.szMemo);
            rec.nPrivate = native.nPrivate;
            rec.szCategory = CategoryName(native.nCategoryId, native.szCategory);
            rec.nSource = misc::CommRecord::kSourceClassic;
            break;
        }
        case PM_STORE_HANDHELD: {
            const PmHandheldStore::Record& native = m_pHandheld->At(entry.nNative);
            if (const auto* memo = m_pHandheld->DataAt<PmHandheldRecords::Memo>(entry.nNative)) {
                rec.SetText(memo->szText);
            }
            rec.nPrivate = native.bPrivate ? 1 : 0;
            rec.szCategory = CategoryName(native.nCategory, m_pHandheld->CategoryOf(native));
            rec.nSource = misc::CommRecord::kSourceHandheld;
            break;
        }
        default:
            break;
    }
    rec.nId = entry.nRecordId;
    m_CommMgr.Put(std::move(rec));
}

}  // namespace lazrine::palm
