#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/palm/PmKindInfo.h"
#include "common/palm/PmRecordSet.h"
#include "session/Outcome.h"

namespace lazrine::session {

// One kind of data as a front end works on it: its record set (none when
// the kind is not available in this build), why its last load failed, which
// of its records are shown (the deleted and archived ones, or all) and which
// shown rows are checked.
//
// Rows are positions in the shown list; records are indexes into the record
// set. Every refill unchecks every row.
class KindSession {
public:
    struct LoadReport {
        Outcome nOutcome = Outcome::kOk;
        // Why it failed, in the record set's words; empty on success.
        std::string szReason;
    };
    // The records some ids name, and the ids that were refused.
    struct IdSelection {
        // An id that names no record (bUnknown), or no deleted one.
        struct Refusal {
            std::uint32_t nId = 0;
            bool bUnknown = true;
        };
        std::vector<std::size_t> records;  // none when any id was refused
        std::vector<Refusal> refused;
        bool Complete() const { return refused.empty(); }
    };

    KindSession(palm::PmKind kind, std::unique_ptr<palm::PmRecordSet> set);

    const palm::PmKindInfo& Kind() const { return palm::PmKindInfo::Of(m_nKind); }
    bool Available() const { return m_pSet != nullptr; }
    palm::PmRecordSet* RecordSet() { return m_pSet.get(); }
    const palm::PmRecordSet* RecordSet() const { return m_pSet.get(); }

    // Loads the user's data or a named file, deleted records included, and
    // refills the shown list. A kind that is not available loads nothing
    // and reports success with nothing shown.
    const LoadReport& LoadForUser(std::uint32_t userId);
    const LoadReport& LoadFile(const std::string& path);
    const LoadReport& LastLoad() const { return m_LastLoad; }
    bool Loaded() const { return m_pSet != nullptr && m_pSet->LoadedKind() != palm::PM_STORE_FAILED &&
                                 m_pSet->LoadedKind() != palm::PM_STORE_NONE; }

    // Which records are shown: all, or the deleted and archived ones.
    void SetShowAll(bool all);
    bool ShowAll() const { return m_bShowAll; }
    // Rebuilds the shown list from the record set; every row unchecked.
    void Refill();
    // Shows nothing.
    void Clear();
    const std::vector<std::size_t>& Shown() const { return m_Shown; }

    bool IsChecked(std::size_t row) const { return row < m_Checked.size() && m_Checked[row] != 0; }
    void SetChecked(std::size_t row, bool checked);
    void SetAllChecked(bool checked);
    // The records of the checked rows, in row order.
    std::vector<std::size_t> Checked() const;

    // The records that `ids` name; with `deletedOnly`, an id of a record
    // that is not deleted is refused. Each id is reported once.
    IdSelection SelectIds(const std::vector<std::uint32_t>& ids, bool deletedOnly) const;
    // Every record, or the deleted ones, in record order.
    std::vector<std::size_t> Records(bool all) const;

private:
    const LoadReport& Loaded(bool ok);

    palm::PmKind m_nKind;
    std::unique_ptr<palm::PmRecordSet> m_pSet;
    LoadReport m_LastLoad;
    bool m_bShowAll = false;
    std::vector<std::size_t> m_Shown;
    std::vector<char> m_Checked;  // parallel to m_Shown
};

}  // namespace lazrine::session
