#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "common/palm/PmRecordSet.h"
#include "common/palm/desktop/PmDesktop.h"

namespace lazrine::app {

// Where the main window gets its record sets and its users from. The
// defaults are the record set factory and the installed Palm Desktop; tests
// put their own in to reach states the machine does not have.
struct TfmMainHooks {
    // A record set of the kind with that factory name ("contacts",
    // "calendar", "tasks", "memos"), or none when the kind is not available.
    std::function<std::unique_ptr<palm::PmRecordSet>(std::string_view)> createRecordSet;
    // The Palm Desktop users, in Palm Desktop's order.
    std::function<std::vector<palm::PmUserInfo>()> enumerateUsers;

    static TfmMainHooks Defaults();
};

}  // namespace lazrine::app
