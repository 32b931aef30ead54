#include "common/palm/desktop/PmUserDataPath.h"

#include <utility>

#include "common/palm/desktop/PmDesktop.h"
#include "platform/HostPath.h"

namespace lazrine::palm {
namespace {

PmUserDataPath::Resolver& CurrentResolver() {
    static PmUserDataPath::Resolver resolver;
    return resolver;
}

}  // namespace

void PmUserDataPath::SetResolver(Resolver resolver) { CurrentResolver() = std::move(resolver); }

bool PmUserDataPath::DataFilePath(std::uint32_t userId, std::string_view folder, std::string_view file,
                                  std::string& out, std::string& error) {
    out.clear();
    std::string base;
    if (CurrentResolver()) {
        if (!CurrentResolver()(userId, base, error)) {
            return false;
        }
    } else if (!PmDesktop::PmGetUserDataFolder(userId, base)) {
        error = PmDesktop::PmLastError();
        return false;
    }
    if (!base.empty() && base.back() != '/' && base.back() != '\\') {
        base.push_back('\\');
    }
    std::string text = base;
    text.append(folder);
    text.append(file);
    return platform::HostPath::FromPalmText(text, out, &error);
}

}  // namespace lazrine::palm
