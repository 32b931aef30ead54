#include "support/FakeMemoRecordSet.h"

#include "common/palm/PmMemoInfo.h"

namespace lazrine::testing {

FakeDatabaseStore::FakeDatabaseStore(std::vector<FakeRecord> records, std::uint32_t failId)
    : m_written(std::move(records)), m_failId(failId) {}

bool FakeDatabaseStore::Load(const std::string&) {
    m_records = m_written;
    m_texts.clear();
    for (const FakeRecord& rec : m_records) {
        m_texts.push_back("memo " + std::to_string(rec.id));
    }
    m_bLoaded = true;
    return true;
}

bool FakeDatabaseStore::LoadForUser(std::uint32_t) { return Load({}); }

void FakeDatabaseStore::Clear() {
    m_records.clear();
    m_bLoaded = false;
}

bool FakeDatabaseStore::Save() {
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (m_records[i].id == m_failId && m_records[i].status != m_written[i].status) {
            m_error = "the database refused the update";
            return false;
        }
    }
    m_written = m_records;
    return true;
}

FakeMemoRecordSet::FakeMemoRecordSet(std::vector<FakeRecord> records, std::uint32_t failId)
    : m_records(records), m_failId(failId), m_store(std::move(records), failId) {
    SetStores({&m_store});
}

const palm::PmKindInfo& FakeMemoRecordSet::Kind() const { return palm::PmMemoInfo::KindInfo(); }

std::unique_ptr<palm::PmRecordSet> FakeMemoRecordSet::CreateEmpty() const {
    return std::make_unique<FakeMemoRecordSet>(m_records, m_failId);
}

void FakeMemoRecordSet::BuildCommon(const palm::PmRecordEntry& entry) {
    misc::CommNoteRec rec;
    rec.SetText(m_store.TextAt(entry.nNative));
    rec.nSource = misc::CommRecord::kSourceDatabase;
    rec.nId = entry.nRecordId;
    m_CommMgr.Put(std::move(rec));
}

}  // namespace lazrine::testing
