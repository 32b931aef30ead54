#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/palm/PmKindInfo.h"
#include "common/palm/PmRecordSet.h"
#include "session/Outcome.h"

namespace lazrine::session {

// Finds the records of one kind that survive only in other copies of a
// user's data: every file under the kind's folder that a store of the kind
// reads (".bak" and older copies, archive files, the record file a database
// replaced) and the handheld databases of the user's "Backup" folder.
//
// A copy's record is found when the live data lacks it, or holds it only as
// deleted while the copy keeps it (a record deleted in both adds nothing an
// undelete in the live data would not give). The same record (same id and
// texts) in several copies is found once, in the first copy. Desktop copies are matched by record id; handheld records, whose
// ids are the handheld's own, by the texts of the kind's columns. Without
// live data (none there, or not readable as this kind) every record of every
// copy is found.
//
// The walk stays inside the user's folder: a link is taken only when it
// leads to a regular file inside that folder, folders are entered by their
// own names only (never through a link), FIFOs and devices are never opened,
// and the walk stops after kMaxEntries names or kMaxDepth levels, saying so
// in its notes. Nothing is ever written.
class BackupScan {
public:
    static constexpr std::size_t kMaxEntries = 20000;
    static constexpr std::size_t kMaxDepth = 8;

    // A copy that a store read: its path, how many records it holds and
    // which of them were found (record indexes of `pSet`). The record set is
    // kept only for a copy with found records.
    struct Copy {
        std::string szPath;
        palm::PmStoreKind nStore = palm::PM_STORE_NONE;
        std::size_t nRecords = 0;
        std::vector<std::size_t> found;
        std::unique_ptr<palm::PmRecordSet> pSet;
    };
    struct Report {
        Outcome nOutcome = Outcome::kOk;
        std::string szReason;             // why the scan failed
        std::vector<std::string> notes;   // what the user should know besides
    };
    // Called for every name looked at: how many so far and the name. Return
    // false to stop the scan (it then reports kCancelled).
    using Progress = std::function<bool(std::size_t seen, const std::string& path)>;
    using CreateSet = std::function<std::unique_ptr<palm::PmRecordSet>()>;

    BackupScan(palm::PmKind kind, CreateSet create) : m_nKind(kind), m_create(std::move(create)) {}

    // Scans the user's data folder `userFolder` (a host path). The live data
    // is the kind's database there when it has one, else its record file.
    const Report& Run(const std::string& userFolder, const Progress& progress = {});

    const palm::PmKindInfo& Kind() const { return palm::PmKindInfo::Of(m_nKind); }
    const Report& LastReport() const { return m_Report; }
    // The live data file (empty when there is none) and its record set.
    const std::string& LivePath() const { return m_szLivePath; }
    const palm::PmRecordSet* Live() const { return m_pLive.get(); }
    // Every copy read, in the order found.
    const std::vector<Copy>& Copies() const { return m_Copies; }
    std::vector<Copy>& Copies() { return m_Copies; }
    std::size_t FoundCount() const;

    // The name in `folder` equal to `name` in any ASCII letter case, or
    // empty; the exact name wins.
    static std::string FindChild(const std::string& folder, const std::string& name);

private:
    void LoadLive(const std::string& userFolder);
    void Walk(const std::string& root, const std::string& folder, std::size_t depth, const Progress& progress);
    void Consider(const std::string& path);
    void IndexLive(bool byId);
    std::string TextKey(const palm::PmRecordSet& set, std::size_t i) const;

    palm::PmKind m_nKind;
    CreateSet m_create;
    Report m_Report;
    std::string m_szLivePath;
    std::unique_ptr<palm::PmRecordSet> m_pLive;
    std::vector<Copy> m_Copies;
    std::size_t m_nSeen = 0;
    bool m_bStopped = false;
    // What was already read, so that a file reached twice (through a link)
    // counts once: volume and file number.
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_Read;
    std::unordered_map<std::uint32_t, bool> m_LiveIds;
    std::unordered_map<std::string, bool> m_LiveTexts;
    std::set<std::string> m_Listed;
    bool m_bLiveIds = false;
    bool m_bLiveTexts = false;
};

}  // namespace lazrine::session
