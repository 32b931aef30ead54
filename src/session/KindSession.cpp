#include "session/KindSession.h"

#include <algorithm>
#include <set>

namespace lazrine::session {

KindSession::KindSession(palm::PmKind kind, std::unique_ptr<palm::PmRecordSet> set)
    : m_nKind(kind), m_pSet(std::move(set)) {
    if (m_pSet) {
        // The lists filter; the record set keeps every record.
        m_pSet->SetIncludeDeleted(true);
    }
}

const KindSession::LoadReport& KindSession::Loaded(bool ok) {
    m_LastLoad = {};
    if (!ok) {
        switch (m_pSet->LastFailure()) {
            case platform::IoFailure::kInUse:
                m_LastLoad.nOutcome = Outcome::kInUse;
                break;
            case platform::IoFailure::kMissing:
                m_LastLoad.nOutcome = Outcome::kMissing;
                break;
            case platform::IoFailure::kNotRegular:
                m_LastLoad.nOutcome = Outcome::kNotRegularFile;
                break;
            default:
                m_LastLoad.nOutcome = Outcome::kNotThisKind;
                break;
        }
        m_LastLoad.szReason = m_pSet->LastError();
    }
    Refill();
    return m_LastLoad;
}

const KindSession::LoadReport& KindSession::LoadForUser(std::uint32_t userId) {
    if (!m_pSet) {
        Clear();
        m_LastLoad = {};
        return m_LastLoad;
    }
    return Loaded(m_pSet->LoadForUser(userId));
}

const KindSession::LoadReport& KindSession::LoadFile(const std::string& path) {
    if (!m_pSet) {
        Clear();
        m_LastLoad = {};
        return m_LastLoad;
    }
    return Loaded(m_pSet->LoadFile(path));
}

void KindSession::SetShowAll(bool all) {
    m_bShowAll = all;
    Refill();
}

void KindSession::Refill() {
    m_Shown.clear();
    if (m_pSet) {
        const std::size_t count = m_pSet->CommonCount();
        m_Shown.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            if (m_bShowAll || m_pSet->IsDeletedAt(i)) {
                m_Shown.push_back(i);
            }
        }
    }
    m_Checked.assign(m_Shown.size(), 0);
}

void KindSession::Clear() {
    m_Shown.clear();
    m_Shown.shrink_to_fit();
    m_Checked.clear();
    m_Checked.shrink_to_fit();
}

void KindSession::SetChecked(std::size_t row, bool checked) {
    if (row < m_Checked.size()) {
        m_Checked[row] = checked ? 1 : 0;
    }
}

void KindSession::SetAllChecked(bool checked) { std::fill(m_Checked.begin(), m_Checked.end(), checked ? 1 : 0); }

std::vector<std::size_t> KindSession::Checked() const {
    std::vector<std::size_t> out;
    for (std::size_t row = 0; row < m_Shown.size(); ++row) {
        if (m_Checked[row] != 0) {
            out.push_back(m_Shown[row]);
        }
    }
    return out;
}

std::vector<std::size_t> KindSession::Records(bool all) const {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; m_pSet && i < m_pSet->CommonCount(); ++i) {
        if (all || m_pSet->IsDeletedAt(i)) {
            out.push_back(i);
        }
    }
    return out;
}

KindSession::IdSelection KindSession::SelectIds(const std::vector<std::uint32_t>& ids, bool deletedOnly) const {
    IdSelection selection;
    const std::set<std::uint32_t> wanted(ids.begin(), ids.end());
    std::set<std::uint32_t> found;
    std::set<std::uint32_t> deleted;
    for (std::size_t i = 0; m_pSet && i < m_pSet->CommonCount(); ++i) {
        const std::uint32_t id = m_pSet->CommonAt(i).nId;
        if (wanted.count(id) == 0) {
            continue;
        }
        found.insert(id);
        if (!deletedOnly || m_pSet->IsDeletedAt(i)) {
            selection.records.push_back(i);
            deleted.insert(id);
        }
    }
    // An undelete reports in the order given, an export by id; each id once.
    const std::vector<std::uint32_t> order = deletedOnly ? ids : std::vector<std::uint32_t>(wanted.begin(), wanted.end());
    std::set<std::uint32_t> told;
    for (const std::uint32_t id : order) {
        if (!told.insert(id).second) {
            continue;
        }
        if (found.count(id) == 0) {
            selection.refused.push_back({id, true});
        } else if (deleted.count(id) == 0) {
            selection.refused.push_back({id, false});
        }
    }
    if (!selection.Complete()) {
        selection.records.clear();
    }
    return selection;
}

}  // namespace lazrine::session
