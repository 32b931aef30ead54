#include "common/palm/desktop/PmUserDataPath.h"

#include <utility>

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
    if (!CurrentResolver()) {
        error = "no Palm Desktop users are known";
        return false;
    }
    if (!CurrentResolver()(userId, base, error)) {
        return false;
    }
    out = base;
    if (!out.empty() && out.back() != '/') {
        out.push_back('/');
    }
    std::string relative(folder);
    relative.append(file);
    for (char& c : relative) {
        if (c == '\\') {
            c = '/';
        }
    }
    out += relative;
    return true;
}

}  // namespace lazrine::palm
