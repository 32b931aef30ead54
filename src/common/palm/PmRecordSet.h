#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/misc/CommRecord.h"
#include "common/palm/PmKindInfo.h"
#include "common/palm/PmRecordEntry.h"
#include "common/palm/PmStore.h"

namespace lazrine::palm {

// The object through which the window and the command line work on one kind
// of Palm Desktop data without knowing which store generation holds it.
//
// A record set owns one store of each generation and loads through the first
// that can read the data, in the kind's fixed order. It then holds, in the
// same order and paired by index, a display entry and a common record for
// every record (deleted ones only when asked to include them); a common
// record is built from its native record when asked for (see
// CommRecordMgr), so only the store's records take memory per record. An
// undelete clears the deletion bits of one record in its store and in its
// entry; Save writes the store that loaded.
//
// Every operation reports failure by its result and LastError(); nothing
// throws and nothing is shown to the user at this level.
class PmRecordSet {
public:
    virtual ~PmRecordSet() = default;
    PmRecordSet(const PmRecordSet&) = delete;
    PmRecordSet& operator=(const PmRecordSet&) = delete;

    virtual const PmKindInfo& Kind() const = 0;

    void SetIncludeDeleted(bool include) { m_bIncludeDeleted = include; }
    // Takes the kind's settings from `settingsFile` (empty: tamrisk.ini
    // beside the program) for the loads that follow.
    virtual void UseSettingsFile(const std::string& /*settingsFile*/) {}
    bool IncludesDeleted() const { return m_bIncludeDeleted; }

    // Loads the user's data or a named file through the first store that
    // reads it; on failure the lists are empty and LoadedKind() is
    // PM_STORE_FAILED. A user whose data folder holds the kind's database
    // is loaded from the database alone: its failure, naming the file, is
    // the result, and the record files are tried only when there is none.
    bool LoadForUser(std::uint32_t userId);
    bool LoadFile(const std::string& path);
    PmStoreKind LoadedKind() const { return m_nLoadedKind; }
    // What names the loaded data (see PmStore::SourceName); empty when
    // nothing is loaded.
    std::string SourceName() const;
    // Why a probe found no store that reads a file.
    enum class ProbeFailure { kNone, kNoName, kMissing, kNotRegular, kInUse, kNotThisKind };
    struct ProbeResult {
        PmStoreKind nKind = PM_STORE_FAILED;
        ProbeFailure nFailure = ProbeFailure::kNone;
        // For a failure: why, in words a user can act on.
        std::string szReason;
    };
    // Which generation reads `path`, trying the stores in this kind's order
    // with fresh stores of their own; the loaded records and the stores that
    // hold them are never touched. A name that is missing or is not a
    // regular file (a FIFO, a device, a folder) is refused before any store
    // opens it; a file another program holds is reported as in use, since
    // its kind cannot be told.
    ProbeResult ProbeWithReason(const std::string& path) const;
    PmStoreKind Probe(const std::string& path) const { return ProbeWithReason(path).nKind; }

    std::size_t EntryCount() const { return m_Entries.size(); }
    const PmRecordEntry& EntryAt(std::size_t i) const { return m_Entries.at(i); }
    const PmRecordEntry* FirstEntry();
    const PmRecordEntry* NextEntry();
    // Bit 0x04 (deleted) and bit 0x80 (archived) of an entry's status; false
    // for an entry of no store kind.
    static bool IsDeleted(const PmRecordEntry& entry);
    static bool IsArchived(const PmRecordEntry& entry);
    // Record `i` as the file holds it: its status word (one per record,
    // kept in its entry), whether it is deleted (deleted or archived, as
    // an undelete understands it) and which store generation read it.
    // Records out of range are neither.
    std::uint32_t StatusAt(std::size_t i) const { return i < m_Entries.size() ? m_Entries[i].nStatus : 0; }
    bool IsDeletedAt(std::size_t i) const { return PmIsDeletedStatus(StatusAt(i)); }
    bool IsArchivedAt(std::size_t i) const { return (StatusAt(i) & kStatusArchived) != 0; }
    PmStoreKind SourceAt(std::size_t i) const { return i < m_Entries.size() ? m_Entries[i].nKind : PM_STORE_NONE; }

    // The common records, kind-independently. A reference from CommonAt
    // stays valid until a common record at another index is asked for.
    virtual std::size_t CommonCount() const = 0;
    virtual const misc::CommRecord& CommonAt(std::size_t i) const = 0;
    virtual bool GetFieldInfo(std::uint32_t key, misc::CommFieldInfo& info) const = 0;
    // The text of field `key` of common record `i`, cut to `len` - 1
    // characters as the window's 4096-byte cells cut it.
    virtual std::string FieldText(std::size_t i, std::uint32_t key, std::size_t len = 4096) const = 0;
    // The same field never shortened: the whole stored text.
    virtual std::string WholeFieldText(std::size_t i, std::uint32_t key) const = 0;
    // The rows of this kind's field table, in table order.
    virtual std::vector<misc::CommFieldInfo> FieldRows() const = 0;

    // Undeletes the record behind a common record of this record set (the
    // one CommonAt returned last). A
    // record that is not deleted (nor archived) is refused: nothing changes
    // and the result is false. The change waits in the store until Save,
    // which writes every waiting change of the store at once (a database
    // too, all or none): the entry and the common record change only when
    // the save succeeds, and a failed save takes the change back.
    bool Undelete(const misc::CommRecord& rec);
    bool UndeleteAt(std::size_t i);
    // Saves the store that loaded the records. On success every waiting
    // undelete shows in the entries and the common records; on failure the
    // store's records are as they were loaded again.
    bool Save();
    // Takes back every undelete waiting for Save.
    void RevertPending();
    // How many undeletes wait for Save.
    std::size_t PendingCount() const { return m_Pending.size(); }

    const std::string& LastError() const { return m_szLastError; }
    // The kind of the last load's or save's failure (kNone after a success):
    // kInUse when another program holds the data (LastError() is then that
    // store's in-use message alone, since whether the data is of this kind
    // could not be told); after a save kChangedSinceLoaded when another
    // program changed the data since it was loaded, and kReplacedNotDurable
    // when the file was replaced nonetheless but may not be durable, so it
    // must not be taken as unchanged. A load that every store failed for the
    // same kind of reason gives that kind, else kOther.
    platform::IoFailure LastFailure() const { return m_nLastFailure; }

protected:
    PmRecordSet() = default;

    // The stores in load order; owned by the derived record set.
    void SetStores(std::vector<PmStore*> stores) { m_Stores = std::move(stores); }
    PmStore* StoreOf(PmStoreKind kind) const;
    // A fresh record set of the same kind, for Probe.
    virtual std::unique_ptr<PmRecordSet> CreateEmpty() const = 0;

    // Builds the common record of the native record `entry` describes and
    // puts it into the common list (called by the list when it is asked for
    // that record).
    virtual void BuildCommon(const PmRecordEntry& entry) = 0;
    // The common list holds one record per entry, built on demand.
    virtual void SetCommonCount(std::size_t n) = 0;
    virtual void ClearCommon() = 0;
    virtual long CommonIndexOf(const misc::CommRecord* rec) const = 0;

private:
    // Loads through the first of `stores` that reads the data.
    template <class LoadStep>
    bool LoadChain(const std::vector<PmStore*>& stores, LoadStep step);
    void Reset();
    bool BuildEntries();
    void ClearEntries();
    // Shows a written undelete of record `i` in its entry and common record.
    void ShowUndeleted(std::size_t i);

    PmStoreKind m_nLoadedKind = PM_STORE_NONE;
    std::vector<PmRecordEntry> m_Entries;
    std::size_t m_nEntryCursor = 0;
    bool m_bIncludeDeleted = false;
    platform::IoFailure m_nLastFailure = platform::IoFailure::kNone;
    std::vector<PmStore*> m_Stores;
    std::string m_szLastError;
    // Undeletes made in the store and not saved yet: list index and the
    // status word the store held before.
    struct Pending {
        std::size_t nIndex;
        std::uint32_t nBefore;
    };
    std::vector<Pending> m_Pending;
};

}  // namespace lazrine::palm
