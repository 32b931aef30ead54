#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "common/palm/PmKindInfo.h"
#include "session/ExportJob.h"
#include "session/UiServices.h"
#include "session/Workspace.h"

namespace lazrine::session {

// What a window's buttons do, the same in every window: the questions, the
// boxes and the changes to the workspace. The window only shows the page
// again afterwards.
class WindowActions {
public:
    // Called with true before a long write and false after it (a wait cursor).
    using Busy = std::function<void(bool busy)>;

    // Undeletes the checked records of the kind (see Undeleter) and says how
    // it went. The page then shows what the file holds: a failure that left
    // the file as it was reloads it.
    static void Undelete(Workspace& workspace, palm::PmKind kind, UiServices& ui);
    // Exports the checked records of the kind (all shown ones, when the user
    // agrees, if none is checked) to a file picked in the save dialog,
    // proposed as `suggested`; never writes to the Palm data.
    static void Export(Workspace& workspace, palm::PmKind kind, UiServices& ui, const std::string& suggested,
                       const Busy& busy);
    // Asks for a file (proposed as `suggested`) of one of the kind's types,
    // writes there what `makeJob` builds for the format picked, and says how
    // it went.
    using JobMaker = std::function<std::unique_ptr<ExportJob>(ExportJob::Format)>;
    static void ExportToChosenFile(const palm::PmKindInfo& kind, UiServices& ui, const std::string& suggested,
                                   const Busy& busy, const JobMaker& makeJob);
    // After the options dialog reloaded the kinds in `changed`: a name
    // accepted a moment ago may fail to load now (changed, locked or gone
    // since), which is said rather than left as an empty page.
    static void ReportFailedReloads(const Workspace& workspace, const std::array<bool, palm::kPmKindCount>& changed,
                                    UiServices& ui);
};

}  // namespace lazrine::session
