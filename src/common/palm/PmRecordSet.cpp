#include "common/palm/PmRecordSet.h"

#include <limits>
#include <memory>
#include <new>

#include "common/palm/desktop/PmUserDataPath.h"
#include "platform/FileIo.h"

namespace lazrine::palm {

PmStore* PmRecordSet::StoreOf(PmStoreKind kind) const {
    for (PmStore* store : m_Stores) {
        if (store->StoreKind() == kind) {
            return store;
        }
    }
    return nullptr;
}

std::string PmRecordSet::SourceName() const {
    const PmStore* store = StoreOf(m_nLoadedKind);
    return store != nullptr ? store->SourceName() : std::string{};
}

void PmRecordSet::Reset() {
    m_Pending.clear();
    m_nLoadedKind = PM_STORE_NONE;
    // The common list builds its records from the stores' records and
    // refers to their texts: it is cleared first, so that it never reaches
    // into a store that is being emptied.
    ClearEntries();
    for (PmStore* store : m_Stores) {
        store->Clear();
    }
}

void PmRecordSet::ClearEntries() {
    m_Entries.clear();
    m_Entries.shrink_to_fit();
    m_nEntryCursor = 0;
    ClearCommon();
}

template <class LoadStep>
bool PmRecordSet::LoadChain(const std::vector<PmStore*>& stores, LoadStep step) {
    Reset();
    m_szLastError.clear();
    m_nLastFailure = platform::IoFailure::kNone;
    std::string reasons;
    for (PmStore* store : stores) {
        if (step(*store)) {
            m_nLastFailure = platform::IoFailure::kNone;
            m_nLoadedKind = store->StoreKind();
            if (!BuildEntries()) {
                m_nLoadedKind = PM_STORE_FAILED;
                store->Clear();
                m_szLastError = "not enough memory to list the records";
                m_nLastFailure = platform::IoFailure::kOther;
                return false;
            }
            return true;
        }
        const platform::IoFailure failure = store->LastFailure();
        if (failure == platform::IoFailure::kInUse) {
            // No other store could read it either, and "not this kind of
            // data" would be wrong: say only that it is in use.
            m_nLastFailure = failure;
            m_nLoadedKind = PM_STORE_FAILED;
            m_szLastError = store->LastError();
            store->Clear();
            return false;
        }
        if (!reasons.empty()) {
            reasons += "; ";
        }
        m_nLastFailure = reasons.empty() || failure == m_nLastFailure ? failure : platform::IoFailure::kOther;
        reasons += std::string(PmStoreKindName(store->StoreKind())) + ": " + store->LastError();
        store->Clear();
    }
    m_nLoadedKind = PM_STORE_FAILED;
    m_szLastError = reasons;
    if (m_nLastFailure == platform::IoFailure::kNone) {
        m_nLastFailure = platform::IoFailure::kOther;
    }
    return false;
}

bool PmRecordSet::LoadForUser(std::uint32_t userId) {
    const auto load = [userId](PmStore& store) { return store.LoadForUser(userId); };
    PmStore* database = StoreOf(PM_STORE_DATABASE);
    std::string dbPath;
    std::string ignored;
    if (database != nullptr &&
        PmUserDataPath::DataFilePath(userId, Kind().szDbFolder, Kind().szDbFile, dbPath, ignored) &&
        platform::FileIo::Instance().Exists(dbPath)) {
        // Palm Desktop 6 reads only its database once the user has one; a
        // record file beside it is an older copy that Palm Desktop no
        // longer shows. Undeleting there would report a success the user
        // never sees, so the database's own failure is the answer.
        if (LoadChain({database}, load)) {
            return true;
        }
        if (m_nLastFailure != platform::IoFailure::kInUse) {
            m_szLastError = dbPath + ": " + database->LastError();
        }
        return false;
    }
    // A handheld backup is never where Palm Desktop keeps a user's data.
    std::vector<PmStore*> files;
    for (PmStore* store : m_Stores) {
        if (store != database && store->StoreKind() != PM_STORE_HANDHELD) {
            files.push_back(store);
        }
    }
    return LoadChain(files, load);
}

bool PmRecordSet::LoadFile(const std::string& path) {
    return LoadChain(m_Stores, [&path](PmStore& store) { return store.Load(path); });
}

namespace {

// What the name `path` finally refers to, every link followed; kMissing
// also for a link that leads nowhere. False when it cannot be told, which
// leaves the verdict to the stores.
bool KindOfName(const std::string& path, platform::FileIo::Facts::Kind& kind) {
    platform::FileIo& io = platform::FileIo::Instance();
    platform::FileIo::Facts facts;
    if (!io.Inspect(path, facts, nullptr)) {
        return false;
    }
    if (facts.nKind == platform::FileIo::Facts::Kind::kLink) {
        std::string target;
        if (!io.ResolveLinks(path, target, nullptr)) {
            kind = platform::FileIo::Facts::Kind::kMissing;
            return true;
        }
        if (!io.Inspect(target, facts, nullptr)) {
            return false;
        }
    }
    kind = facts.nKind;
    return true;
}

}  // namespace

PmRecordSet::ProbeResult PmRecordSet::ProbeWithReason(const std::string& path) const {
    using NameKind = platform::FileIo::Facts::Kind;
    ProbeResult result;
    if (path.empty()) {
        result.nFailure = ProbeFailure::kNoName;
        result.szReason = "no file name given";
        return result;
    }
    NameKind kind = NameKind::kRegular;
    if (KindOfName(path, kind) && kind != NameKind::kRegular) {
        const bool missing = kind == NameKind::kMissing;
        result.nFailure = missing ? ProbeFailure::kMissing : ProbeFailure::kNotRegular;
        result.szReason = missing ? "the file does not exist" : "not a regular file";
        return result;
    }
    const std::unique_ptr<PmRecordSet> fresh = CreateEmpty();
    std::string reasons;
    for (PmStore* store : fresh->m_Stores) {
        if (store->Load(path)) {
            result.nKind = store->StoreKind();
            return result;
        }
        if (store->LastFailure() == platform::IoFailure::kInUse) {
            result.nFailure = ProbeFailure::kInUse;
            result.szReason = "locked by another program (Palm Desktop?)";
            return result;
        }
        reasons += (reasons.empty() ? "" : "; ") + std::string(PmStoreKindName(store->StoreKind())) + ": " +
                   store->LastError();
    }
    result.nFailure = ProbeFailure::kNotThisKind;
    result.szReason = "not a Palm Desktop " + std::string(Kind().szName) + " file (" + reasons + ")";
    return result;
}

bool PmRecordSet::BuildEntries() {
    PmStore* store = StoreOf(m_nLoadedKind);
    if (store == nullptr) {
        return true;
    }
    try {
        const std::size_t count = store->Count();
        if (count > std::numeric_limits<std::uint32_t>::max()) {
            throw std::bad_alloc();
        }
        m_Entries.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            PmRecordEntry entry;
            entry.nKind = m_nLoadedKind;
            entry.nStatus = store->StatusAt(i);
            entry.nRecordId = store->RecordIdAt(i);
            entry.nNative = static_cast<std::uint32_t>(i);
            if (!m_bIncludeDeleted && PmIsDeletedStatus(entry.nStatus)) {
                continue;
            }
            m_Entries.push_back(entry);
        }
    } catch (const std::bad_alloc&) {
        // Both lists go together, so that Undelete never pairs a common
        // record with another record's entry.
        ClearEntries();
        return false;
    }
    // Common records are built from the entries when asked for.
    SetCommonCount(m_Entries.size());
    return true;
}

const PmRecordEntry* PmRecordSet::FirstEntry() {
    m_nEntryCursor = 0;
    return NextEntry();
}

const PmRecordEntry* PmRecordSet::NextEntry() {
    return m_nEntryCursor < m_Entries.size() ? &m_Entries[m_nEntryCursor++] : nullptr;
}

namespace {

// The kinds of store that hold records.
bool IsStoreKind(PmStoreKind kind) {
    return kind == PM_STORE_CLASSIC || kind == PM_STORE_EXTENDED || kind == PM_STORE_DATABASE ||
           kind == PM_STORE_HANDHELD;
}

}  // namespace

bool PmRecordSet::IsDeleted(const PmRecordEntry& entry) {
    if (!IsStoreKind(entry.nKind)) {
        return false;
    }
    return (entry.nStatus & kStatusDeleted) != 0;
}

bool PmRecordSet::IsArchived(const PmRecordEntry& entry) {
    if (!IsStoreKind(entry.nKind)) {
        return false;
    }
    return (entry.nStatus & kStatusArchived) != 0;
}

bool PmRecordSet::Undelete(const misc::CommRecord& rec) {
    const long index = CommonIndexOf(&rec);
    if (index < 0) {
        m_szLastError = "the record does not belong to this record set";
        return false;
    }
    return UndeleteAt(static_cast<std::size_t>(index));
}

bool PmRecordSet::UndeleteAt(std::size_t i) {
    m_szLastError.clear();
    if (i >= m_Entries.size() || i >= CommonCount()) {
        m_szLastError = "no such record";
        return false;
    }
    PmStore* store = StoreOf(m_nLoadedKind);
    if (store == nullptr) {
        m_szLastError = "nothing was loaded";
        return false;
    }
    PmRecordEntry& entry = m_Entries[i];
    const std::uint32_t before = store->StatusAt(entry.nNative);
    if (!PmIsDeletedStatus(before)) {
        m_szLastError = "record " + std::to_string(entry.nRecordId) + " is not deleted";
        return false;
    }
    store->SetStatusAt(entry.nNative, PmUndeletedStatus(before));
    m_Pending.push_back({i, before});
    return true;
}

void PmRecordSet::ShowUndeleted(std::size_t i) {
    PmRecordEntry& entry = m_Entries[i];
    entry.nStatus = PmUndeletedStatus(entry.nStatus);
}

void PmRecordSet::RevertPending() {
    PmStore* store = StoreOf(m_nLoadedKind);
    // Newest first, so that the oldest status word is the one that stays.
    for (auto it = m_Pending.rbegin(); store != nullptr && it != m_Pending.rend(); ++it) {
        store->SetStatusAt(m_Entries[it->nIndex].nNative, it->nBefore);
    }
    m_Pending.clear();
}

bool PmRecordSet::Save() {
    m_szLastError.clear();
    m_nLastFailure = platform::IoFailure::kNone;
    PmStore* store = StoreOf(m_nLoadedKind);
    if (store == nullptr) {
        m_szLastError = "nothing was loaded";
        m_nLastFailure = platform::IoFailure::kOther;
        return false;
    }
    if (!store->Save()) {
        m_szLastError = store->LastError();
        m_nLastFailure = store->LastFailure();
        if (m_nLastFailure != platform::IoFailure::kReplacedNotDurable) {
            RevertPending();
            return false;
        }
        // The file holds the undeletes, though maybe not durably: memory
        // shows what the file holds.
        for (const Pending& pending : m_Pending) {
            ShowUndeleted(pending.nIndex);
        }
        m_Pending.clear();
        return false;
    }
    for (const Pending& pending : m_Pending) {
        ShowUndeleted(pending.nIndex);
    }
    m_Pending.clear();
    return true;
}

}  // namespace lazrine::palm
