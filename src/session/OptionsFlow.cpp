#include "session/OptionsFlow.h"

#include <cctype>

#include "platform/HostFolder.h"
#include "platform/HostPath.h"
#include "session/Messages.h"

namespace lazrine::session {

OptionsFlow::Verdict OptionsFlow::Accept(palm::PmKind kind, const std::string& name) const {
    Verdict verdict;
    if (!OptionRec::IsStorableFileName(name)) {
        verdict.nOutcome = Outcome::kBadName;
        verdict.szReason = "The name holds a line break or another control character.";
        return verdict;
    }
    // A relative name means the file the probe finds from here, and is kept
    // as that file's absolute name, so that the next start finds it again.
    verdict.szPath = platform::HostPath::Absolute(name);
    const palm::PmRecordSet::ProbeResult probe = m_Sets.at(static_cast<std::size_t>(kind))->ProbeWithReason(verdict.szPath);
    if (probe.nKind != palm::PM_STORE_FAILED) {
        return verdict;
    }
    using Failure = palm::PmRecordSet::ProbeFailure;
    switch (probe.nFailure) {
        case Failure::kInUse:
            verdict.nOutcome = Outcome::kInUse;
            break;
        case Failure::kMissing:
            verdict.nOutcome = Outcome::kMissing;
            break;
        case Failure::kNotRegular:
            verdict.nOutcome = Outcome::kNotRegularFile;
            break;
        case Failure::kNoName:
            verdict.nOutcome = Outcome::kNoName;
            break;
        default:
            verdict.nOutcome = Outcome::kNotThisKind;
            break;
    }
    verdict.szReason = probe.szReason;
    if (!verdict.szReason.empty()) {
        verdict.szReason[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(verdict.szReason[0])));
    }
    verdict.szReason += '.';
    verdict.szPath.clear();
    return verdict;
}

OptionsFlow::Verdict OptionsFlow::Browse(palm::PmKind kind, const std::string& current, const std::string& userFolder,
                                         const std::string& home, UiServices& ui) const {
    std::string chosen;
    if (!ui.ChooseOpenFile(Messages::OpenDataFileTitle(palm::PmKindInfo::Of(kind)),
                           StartFolder(current, userFolder, home), DataFileFilters(), chosen)) {
        Verdict cancelled;
        cancelled.nOutcome = Outcome::kCancelled;
        return cancelled;
    }
    return Accept(kind, chosen);
}

OptionsFlow::ApplyReport OptionsFlow::Apply(const std::array<Choice, palm::kPmKindCount>& choices,
                                            OptionRec& option) const {
    ApplyReport report;
    std::array<std::string, palm::kPmKindCount> names;
    for (const palm::PmKindInfo& kind : palm::PmKindInfo::All()) {
        const Choice& choice = choices.at(kind.Index());
        if (!Available(kind.nKind) || !choice.bUse) {
            continue;
        }
        const Verdict verdict = Accept(kind.nKind, choice.szName);
        if (verdict.nOutcome != Outcome::kOk) {
            report.nOutcome = verdict.nOutcome;
            report.nRefused = kind.nKind;
            report.szReason = verdict.szReason;
            return report;
        }
        names.at(kind.Index()) = verdict.szPath;
    }
    for (const palm::PmKindInfo& kind : palm::PmKindInfo::All()) {
        if (!Available(kind.nKind)) {
            continue;
        }
        std::string& stored = option.FileOf(kind.nKind);
        const std::string wanted = choices.at(kind.Index()).bUse ? names.at(kind.Index()) : std::string();
        if (wanted != stored) {
            stored = wanted;
            report.changed.at(kind.Index()) = true;
        }
    }
    return report;
}

std::string OptionsFlow::StartFolder(const std::string& current, const std::string& userFolder,
                                     const std::string& home) {
    if (!current.empty()) {
        const std::string absolute = platform::HostPath::Absolute(current);
        const std::size_t slash = absolute.find_last_of("/\\");
        const std::string folder = platform::HostFolder::IsFolder(absolute) || slash == std::string::npos
                                       ? absolute
                                       : absolute.substr(0, slash == 0 ? 1 : slash);
        if (platform::HostFolder::IsFolder(folder)) {
            return folder;
        }
    }
    if (!userFolder.empty() && platform::HostFolder::IsFolder(userFolder)) {
        return userFolder;
    }
    return home;
}

std::vector<FileFilter> OptionsFlow::DataFileFilters() {
    return {{"Palm Desktop Database File", {"*.dat", "*.mdb"}}, {"All Files", {"*"}}};
}

}  // namespace lazrine::session
