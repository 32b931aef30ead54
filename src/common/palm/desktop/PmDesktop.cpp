#include "common/palm/desktop/PmDesktop.h"

namespace lazrine::palm {

std::uint32_t PmDesktop::PmLoadDesktopLibraries(const std::string& /*settingsFile*/) { return 0; }

void PmDesktop::PmUnloadDesktopLibraries() {}

std::vector<PmUserInfo> PmDesktop::PmEnumerateUsers() { return {}; }

bool PmDesktop::PmGetUserDataPath(std::uint32_t /*userId*/, std::string& folder) {
    folder.clear();
    return false;
}

}  // namespace lazrine::palm
