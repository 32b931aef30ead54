#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/palm/PmKindInfo.h"
#include "common/palm/PmRecordSet.h"
#include "session/OptionRec.h"
#include "session/Outcome.h"
#include "session/UiServices.h"

namespace lazrine::session {

// The options dialog's rules: per kind, a data file named instead of the
// user's own.
//
// Guarantees:
// - A name is accepted only when the kind's record set reads it, as a fresh
//   probe with stores of its own finds; the loaded record sets are never
//   touched, so cancelling leaves every loaded file in place.
// - A FIFO, a device or a folder is refused at once, never opened.
// - Every name kept is absolute and whole, and holds no control character
//   (which could not be written back to the settings file as it is).
// - Apply changes the options record all or nothing, and reports which
//   kinds really changed; a kind without a record set is never probed and
//   never changed.
class OptionsFlow {
public:
    using RecordSets = std::array<const palm::PmRecordSet*, palm::kPmKindCount>;

    struct Verdict {
        Outcome nOutcome = Outcome::kOk;
        std::string szPath;    // the absolute name, when accepted
        std::string szReason;  // a sentence, when refused
    };
    // What the dialog holds for one kind: whether a file is named, and its name.
    struct Choice {
        bool bUse = false;
        std::string szName;
    };
    struct ApplyReport {
        Outcome nOutcome = Outcome::kOk;
        palm::PmKind nRefused = palm::PmKind::kContacts;  // when refused
        std::string szReason;
        std::array<bool, palm::kPmKindCount> changed{};
    };

    explicit OptionsFlow(const RecordSets& sets) : m_Sets(sets) {}

    bool Available(palm::PmKind kind) const { return m_Sets.at(static_cast<std::size_t>(kind)) != nullptr; }
    // Whether `name` can serve as the kind's data file.
    Verdict Accept(palm::PmKind kind, const std::string& name) const;
    // The browse button: the open dialog, started where StartFolder says
    // for the name in the edit (`current`), then Accept on the file picked;
    // kCancelled when the user cancels.
    Verdict Browse(palm::PmKind kind, const std::string& current, const std::string& userFolder,
                   const std::string& home, UiServices& ui) const;
    // Accepts every used choice of an available kind, then stores them all
    // in `option`; the first refusal stores nothing.
    ApplyReport Apply(const std::array<Choice, palm::kPmKindCount>& choices, OptionRec& option) const;

    // Where browsing starts: the folder of the name in the edit (or the
    // folder it names), else the user's data folder, else `home`.
    static std::string StartFolder(const std::string& current, const std::string& userFolder,
                                   const std::string& home);
    // The open dialog's types.
    static std::vector<FileFilter> DataFileFilters();

private:
    RecordSets m_Sets;
};

}  // namespace lazrine::session
