#include "common/palm/PmKindInfo.h"

namespace lazrine::palm {

std::string PmKindInfo::SuccessMessage(int count) const {
    return std::string("Palm ") + szPalmName + " undelete successfully, " + std::to_string(count) +
           " records were undeleted.";
}

std::string PmKindInfo::NothingSelectedMessage() const {
    return std::string("No Palm ") + szPalmName + " records are selected, undelete action canceled.";
}

}  // namespace lazrine::palm
