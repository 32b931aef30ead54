#include "common/palm/PmTodoInfo.h"

namespace lazrine::palm {

PmTodoInfo::PmTodoInfo()
    : m_pClassic(std::make_unique<PmTodoUtil>()),
      m_pExtended(std::make_unique<PmTodoExUtil>()),
      m_pDatabase(std::make_unique<PmTodoEx2Util>()),
      m_pHandheld(std::make_unique<PmHandheldStore>(PmKind::kTasks)) {
    SetStores({m_pDatabase.get(), m_pExtended.get(), m_pClassic.get(), m_pHandheld.get()});
}

const PmKindInfo& PmTodoInfo::KindInfo() { return PmKindInfo::Of(PmKind::kTasks); }

PmStoreKind PmTodoInfo::ProbeFile(const std::string& path) { return PmTodoInfo().Probe(path); }

std::unique_ptr<PmRecordSet> PmTodoInfo::CreateEmpty() const { return std::make_unique<PmTodoInfo>(); }

void PmTodoInfo::BuildCommon(const PmRecordEntry& entry) {
    misc::CommTaskRec rec;
    const auto flag = [](auto value) -> std::uint8_t { return value != 0 ? 1 : 0; };
    switch (entry.nKind) {
        case PM_STORE_DATABASE: {
            const PmTodoEx2Rec& native = m_pDatabase->GetDataMgr().At(entry.nNative);
            rec.szSubject = native.szDescription;
            rec.szNote = native.szNote;
            rec.bCompleted = native.nCompleted;
            rec.bAlarm = native.nAlarmSet;
            rec.bPrivate = native.nPrivate;
            rec.nDueDate = native.nDueDate;
            rec.nPriority = misc::CommTaskRec::PriorityOf(static_cast<std::uint32_t>(native.nPriority));
            rec.nPalmPriority = misc::CommTaskRec::PalmPriorityOf(native.nPriority);
            rec.szCategory = CategoryName(native.nCategoryId, m_pDatabase->CategoryName(native.nCategoryId));
            rec.nSource = misc::CommRecord::kSourceDatabase;
            break;
        }
        case PM_STORE_EXTENDED: {
            const PmTodoExRec& native = m_pExtended->GetDataMgr().At(entry.nNative);
            rec.szSubject = native.szDescription;
            rec.szNote = native.szNote;
            rec.bCompleted = flag(native.nCompleted);
            rec.bAlarm = flag(native.nAlarm);
            rec.bPrivate = flag(native.nPrivate);
            rec.nDueDate = native.nDueDate;
            rec.nPriority = misc::CommTaskRec::PriorityOf(native.nPriority);
            rec.nPalmPriority = misc::CommTaskRec::PalmPriorityOf(native.nPriority);
            rec.szCategory = CategoryName(native.nCategoryId, native.szCategory);
            rec.nSource = misc::CommRecord::kSourceExtended;
            break;
        }
        case PM_STORE_CLASSIC: {
            const PmTodoRec& native = m_pClassic->GetDataMgr().At(entry.nNative);
            rec.szSubject = native.szDescription;
            rec.szNote = native.szNote;
            rec.bCompleted = flag(native.nCompleted);
            rec.bAlarm = 0;  // the classic task has no alarm
            rec.bPrivate = flag(native.nPrivate);
            rec.nDueDate = native.nDueDate;
            rec.nPriority = misc::CommTaskRec::PriorityOf(native.nPriority);
            rec.nPalmPriority = misc::CommTaskRec::PalmPriorityOf(native.nPriority);
            rec.szCategory = CategoryName(native.nCategoryId, native.szCategory);
            rec.nSource = misc::CommRecord::kSourceClassic;
            break;
        }
        case PM_STORE_HANDHELD: {
            const PmHandheldStore::Record& native = m_pHandheld->At(entry.nNative);
            if (const auto* todo = m_pHandheld->DataAt<PmHandheldRecords::Todo>(entry.nNative)) {
                rec.szSubject = todo->szDescription;
                rec.szNote = todo->szNote;
                rec.bCompleted = flag(todo->bCompleted);
                rec.nDueDate = PmHandheldStore::LocalSeconds(todo->nDueDate, 12, 0);
                rec.nPriority = misc::CommTaskRec::PriorityOf(todo->nPriority);
                rec.nPalmPriority = misc::CommTaskRec::PalmPriorityOf(todo->nPriority);
            }
            rec.bPrivate = flag(native.bPrivate);
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
