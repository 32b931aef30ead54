#include "common/palm/PmDateInfo.h"

#include "common/palm/PmTime.h"

namespace lazrine::palm {
namespace {

// Start and end as local calendar fields; a value without a local time
// leaves its fields all zero.
void SetTimes(misc::CommDateRec& rec, std::uint32_t start, std::uint32_t end) {
    PmTime time(0);
    time.SetTime(start);
    time.ToSystemTime(&rec.stStart);
    time.SetTime(end);
    time.ToSystemTime(&rec.stEnd);
}

}  // namespace

PmDateInfo::PmDateInfo()
    : m_pClassic(std::make_unique<PmDateUtil>()),
      m_pExtended(std::make_unique<PmDateExUtil>()),
      m_pDatabase(std::make_unique<PmDateEx2Util>()),
      m_pHandheld(std::make_unique<PmHandheldStore>(PmKind::kCalendar)) {
    SetStores({m_pDatabase.get(), m_pExtended.get(), m_pClassic.get(), m_pHandheld.get()});
}

const PmKindInfo& PmDateInfo::KindInfo() { return PmKindInfo::Of(PmKind::kCalendar); }

PmStoreKind PmDateInfo::ProbeFile(const std::string& path) { return PmDateInfo().Probe(path); }

std::unique_ptr<PmRecordSet> PmDateInfo::CreateEmpty() const { return std::make_unique<PmDateInfo>(); }

void PmDateInfo::BuildCommon(const PmRecordEntry& entry) {
    misc::CommDateRec rec;
    switch (entry.nKind) {
        case PM_STORE_DATABASE: {
            const PmDateEx2Rec& native = m_pDatabase->GetDataMgr().At(entry.nNative);
            rec.szDescription = native.szSummary;
            rec.szNote = native.szNote;
            rec.szLocation = native.szLocation;
            rec.nAllDay = native.nUntimed;
            rec.nPrivate = native.nPrivate;
            rec.nAlarm = native.nAlarm;
            SetTimes(rec, native.nStartTime, native.nEndTime);
            rec.szCategory = CategoryName(native.nCategoryId, m_pDatabase->CategoryName(native.nCategoryId));
            rec.nSource = misc::CommRecord::kSourceDatabase;
            break;
        }
        case PM_STORE_EXTENDED: {
            const PmDateExRec& native = m_pExtended->GetDataMgr().At(entry.nNative);
            rec.szDescription = native.szDescription;
            rec.szNote = native.szNote;
            rec.szLocation = native.szLocation;
            rec.nAllDay = native.nAllDay != 0 ? 1 : 0;
            rec.nPrivate = native.nPrivate != 0 ? 1 : 0;
            SetTimes(rec, native.nStartTime, native.nEndTime);
            rec.szCategory = CategoryName(native.nCategoryId, native.szCategory);
            rec.nSource = misc::CommRecord::kSourceExtended;
            break;
        }
        case PM_STORE_CLASSIC: {
            const PmDateRec& native = m_pClassic->GetDataMgr().At(entry.nNative);
            rec.szDescription = native.szDescription;
            rec.szNote = native.szNote;
            rec.nAllDay = native.nAllDay != 0 ? 1 : 0;
            rec.nPrivate = native.nExtraD != 0 ? 1 : 0;
            rec.nAlarm = native.nExtraF != 0 ? 1 : 0;
            SetTimes(rec, native.nStartTime, native.nEndTime);
            rec.nSource = misc::CommRecord::kSourceClassic;
            break;
        }
        case PM_STORE_HANDHELD: {
            const PmHandheldStore::Record& native = m_pHandheld->At(entry.nNative);
            if (const auto* event = m_pHandheld->DataAt<PmHandheldRecords::Event>(entry.nNative)) {
                rec.szDescription = event->szDescription;
                rec.szNote = event->szNote;
                rec.nAllDay = event->IsUntimed() ? 1 : 0;
                rec.nAlarm = (event->nFlags & PmHandheldRecords::Event::kAlarm) != 0 ? 1 : 0;
                const bool timed = !event->IsUntimed();
                PmHandheldStore::LocalFields(event->nDate, timed ? event->nStartHour : 0,
                                             timed ? event->nStartMinute : 0, rec.stStart);
                PmHandheldStore::LocalFields(event->nDate, timed ? event->nEndHour : 0, timed ? event->nEndMinute : 0,
                                             rec.stEnd);
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
