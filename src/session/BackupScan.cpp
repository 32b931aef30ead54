#include "session/BackupScan.h"

#include <algorithm>
#include <unordered_map>

#include "common/export/ExportSource.h"
#include "common/palm/PmDataHead.h"
#include "platform/FileIo.h"
#include "platform/HostFolder.h"
#include "platform/WineText.h"

namespace lazrine::session {
namespace {

using Facts = platform::FileIo::Facts;

// A name in `folder`, joined with the separator the folder's path uses
// (a Windows path keeps its backslashes).
std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\') {
        return folder + name;
    }
    const bool backslashes = folder.find('\\') != std::string::npos && folder.find('/') == std::string::npos;
    return folder + (backslashes ? "\\" : "/") + name;
}

// The kind's folder name as Palm Desktop writes it ("MemoPad\"), without
// its separator.
std::string FolderName(const char* text) {
    std::string name(text);
    while (!name.empty() && (name.back() == '\\' || name.back() == '/')) {
        name.pop_back();
    }
    return name;
}

// Whether `path` lies inside the folder `root` (both with links resolved).
bool Inside(const std::string& root, const std::string& path) {
    std::string base = root;
    while (base.size() > 1 && (base.back() == '/' || base.back() == '\\')) {
        base.pop_back();
    }
    return path.size() > base.size() && path.compare(0, base.size(), base) == 0 &&
           (path[base.size()] == '/' || path[base.size()] == '\\');
}

bool ByRecordId(palm::PmStoreKind store) {
    return store == palm::PM_STORE_CLASSIC || store == palm::PM_STORE_EXTENDED || store == palm::PM_STORE_DATABASE;
}

}  // namespace

std::string BackupScan::FindChild(const std::string& folder, const std::string& name) {
    std::vector<platform::HostFolder::Entry> entries;
    if (!platform::HostFolder::List(folder, entries)) {
        return {};
    }
    std::string found;
    for (const auto& entry : entries) {
        if (entry.szName == name) {
            return Join(folder, entry.szName);
        }
        if (found.empty() && platform::WineText::EqualsNoCase(entry.szName, name)) {
            found = Join(folder, entry.szName);
        }
    }
    return found;
}

std::size_t BackupScan::FoundCount() const {
    std::size_t count = 0;
    for (const Copy& copy : m_Copies) {
        count += copy.found.size();
    }
    return count;
}

void BackupScan::LoadLive(const std::string& userFolder) {
    const std::string kindFolder = FindChild(userFolder, FolderName(Kind().szDbFolder));
    if (!kindFolder.empty()) {
        // Palm Desktop 6 reads only its database once there is one; the
        // record file beside it is then an older copy like any other.
        m_szLivePath = FindChild(kindFolder, Kind().szDbFile);
        if (m_szLivePath.empty()) {
            m_szLivePath = FindChild(kindFolder, Kind().szDataFile);
        }
    }
    m_pLive = m_szLivePath.empty() ? nullptr : m_create();
    if (!m_pLive) {
        m_Report.notes.push_back("No live " + std::string(Kind().szPalmName) +
                                 " data was found; every record of every copy is listed.");
        return;
    }
    m_pLive->SetIncludeDeleted(true);
    if (m_pLive->LoadFile(m_szLivePath)) {
        return;
    }
    if (m_pLive->LastFailure() == platform::IoFailure::kInUse) {
        m_Report.nOutcome = Outcome::kInUse;
        m_Report.szReason = m_pLive->LastError();
        return;
    }
    m_Report.notes.push_back(m_szLivePath + " could not be read (" + m_pLive->LastError() +
                             "); every record of every copy is listed.");
    m_pLive.reset();
}

const BackupScan::Report& BackupScan::Run(const std::string& userFolder, const Progress& progress) {
    m_Report = {};
    m_szLivePath.clear();
    m_pLive.reset();
    m_Copies.clear();
    m_Read.clear();
    m_LiveIds.clear();
    m_LiveTexts.clear();
    m_Listed.clear();
    m_bLiveIds = m_bLiveTexts = false;
    m_nSeen = 0;
    m_bStopped = false;
    if (!platform::HostFolder::IsFolder(userFolder)) {
        m_Report.nOutcome = Outcome::kMissing;
        m_Report.szReason = userFolder + " is not a folder";
        return m_Report;
    }
    LoadLive(userFolder);
    if (m_Report.nOutcome != Outcome::kOk) {
        return m_Report;
    }
    platform::FileIo& io = platform::FileIo::Instance();
    Facts live;
    if (!m_szLivePath.empty() && io.Inspect(m_szLivePath, live, nullptr) && live.nFileId != 0) {
        m_Read.emplace(live.nVolume, live.nFileId);
    }
    std::string root = userFolder;
    std::string resolved;
    if (io.ResolveLinks(userFolder, resolved, nullptr)) {
        root = resolved;
    }
    for (const std::string& name : {FolderName(Kind().szDbFolder), std::string("Backup")}) {
        const std::string folder = FindChild(userFolder, name);
        Facts facts;
        if (!folder.empty() && io.Inspect(folder, facts, nullptr) && facts.nKind == Facts::Kind::kDirectory) {
            Walk(root, folder, 0, progress);
        }
    }
    return m_Report;
}

void BackupScan::Walk(const std::string& root, const std::string& folder, std::size_t depth,
                      const Progress& progress) {
    std::vector<platform::HostFolder::Entry> entries;
    if (m_bStopped || !platform::HostFolder::List(folder, entries)) {
        return;
    }
    platform::FileIo& io = platform::FileIo::Instance();
    for (const auto& entry : entries) {
        if (m_bStopped) {
            return;
        }
        if (++m_nSeen > kMaxEntries) {
            m_Report.notes.push_back("The scan stopped after " + std::to_string(kMaxEntries) +
                                     " names; files beyond them were not read.");
            m_bStopped = true;
            return;
        }
        const std::string path = Join(folder, entry.szName);
        if (progress && !progress(m_nSeen, path)) {
            m_Report.nOutcome = Outcome::kCancelled;
            m_Report.szReason = "the scan was stopped";
            m_bStopped = true;
            return;
        }
        Facts facts;
        if (!io.Inspect(path, facts, nullptr)) {
            continue;
        }
        if (facts.nKind == Facts::Kind::kDirectory) {
            if (depth + 1 < kMaxDepth) {
                Walk(root, path, depth + 1, progress);
            }
            continue;
        }
        if (facts.nKind == Facts::Kind::kLink) {
            // Only a link to a regular file that stays inside the folder.
            std::string target;
            if (!io.ResolveLinks(path, target, nullptr) || !Inside(root, target) ||
                !io.Inspect(target, facts, nullptr)) {
                continue;
            }
        }
        if (facts.nKind != Facts::Kind::kRegular || path == m_szLivePath) {
            continue;  // never open a FIFO or a device
        }
        if (facts.nFileId != 0) {
            if (!m_Read.emplace(facts.nVolume, facts.nFileId).second) {
                continue;
            }
        }
        Consider(path);
    }
}

std::string BackupScan::TextKey(const palm::PmRecordSet& set, std::size_t i) const {
    std::string key;
    for (const auto& column : Kind().columns) {
        const std::string text =
            exporting::ExportSource::Utf8Of(set.CommonAt(i).nSource, set.WholeFieldText(i, column.key));
        // Line ends differ between the handheld and the desktop.
        for (const char c : text) {
            if (c != '\r') {
                key.push_back(c);
            }
        }
        key.push_back('\x1f');
    }
    return key;
}

void BackupScan::IndexLive(bool byId) {
    // For each id or text of the live data, whether any record with it is
    // not deleted; built once, on first need.
    if (!m_pLive || (byId ? m_bLiveIds : m_bLiveTexts)) {
        return;
    }
    for (std::size_t i = 0; i < m_pLive->CommonCount(); ++i) {
        const bool kept = !m_pLive->IsDeletedAt(i);
        if (byId) {
            m_LiveIds[m_pLive->CommonAt(i).nId] |= kept;
        } else {
            m_LiveTexts[TextKey(*m_pLive, i)] |= kept;
        }
    }
    (byId ? m_bLiveIds : m_bLiveTexts) = true;
}

void BackupScan::Consider(const std::string& path) {
    // Most files of a folder are no Palm data: their first bytes tell, so
    // that no store reads them whole.
    std::vector<std::uint8_t> head;
    if (!palm::PmDataHead::Read(path, head)) {
        if (platform::FileIo::Instance().Exists(path)) {
            m_Report.notes.push_back(path + " could not be opened (in use by another program?) and was not read.");
        }
        return;
    }
    if (!palm::PmDataHead::IsDesktop(head) && !palm::PmDataHead::IsHandheld(head)) {
        return;
    }
    std::unique_ptr<palm::PmRecordSet> set = m_create();
    if (!set) {
        return;
    }
    set->SetIncludeDeleted(true);
    if (!set->LoadFile(path)) {
        if (set->LastFailure() == platform::IoFailure::kInUse) {
            m_Report.notes.push_back(path + " is in use by another program and was not read.");
        }
        return;
    }
    Copy copy;
    copy.szPath = path;
    copy.nStore = set->LoadedKind();
    copy.nRecords = set->CommonCount();
    const bool byId = ByRecordId(copy.nStore);
    IndexLive(byId);
    const auto& liveIds = m_LiveIds;  // id: whether a record with it is kept
    const auto& liveTexts = m_LiveTexts;
    for (std::size_t i = 0; i < copy.nRecords; ++i) {
        // In the live data: 0 not at all, 1 only as deleted, 2 kept.
        int inLive = 0;
        const std::string text = TextKey(*set, i);
        if (byId) {
            const auto it = liveIds.find(set->CommonAt(i).nId);
            inLive = it == liveIds.end() ? 0 : it->second ? 2 : 1;
        } else {
            const auto it = liveTexts.find(text);
            inLive = it == liveTexts.end() ? 0 : it->second ? 2 : 1;
        }
        // A record deleted here as in the live data adds nothing an
        // undelete there would not give.
        if (inLive == 2 || (inLive == 1 && set->IsDeletedAt(i))) {
            continue;
        }
        // The same record in several copies is listed once, from the first.
        const std::string key = byId ? std::to_string(set->CommonAt(i).nId) + '\x1e' + text : text;
        if (m_Listed.insert(key).second) {
            copy.found.push_back(i);
        }
    }
    if (!copy.found.empty()) {
        copy.pSet = std::move(set);
    }
    m_Copies.push_back(std::move(copy));
}

}  // namespace lazrine::session
