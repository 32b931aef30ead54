#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "common/palm/PmKindInfo.h"
#include "common/palm/PmRecordSet.h"
#include "common/palm/desktop/PmDesktop.h"

namespace lazrine::session {

// Where a workspace gets its record sets and its users from. The defaults
// are the record set factory and the installed Palm Desktop; tests put their
// own in to reach states the machine does not have.
struct WorkspaceHooks {
    // A record set of the kind, or none when the kind is not available.
    std::function<std::unique_ptr<palm::PmRecordSet>(palm::PmKind)> createRecordSet;
    // The Palm Desktop users, in Palm Desktop's order.
    std::function<std::vector<palm::PmUserInfo>()> enumerateUsers;

    static WorkspaceHooks Defaults();
};

}  // namespace lazrine::session
