#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "common/palm/PmKindInfo.h"
#include "common/palm/PmRecordSet.h"

namespace lazrine::palm {

// The kinds this build knows, by their command-line names ("memos", ...), in
// the order the window shows their pages.
class PmRecordSetFactory {
public:
    static std::vector<std::string_view> Names();
    // A new record set of that kind, or none for an unknown name.
    static std::unique_ptr<PmRecordSet> Create(std::string_view name);
    static std::unique_ptr<PmRecordSet> Create(PmKind kind);
};

}  // namespace lazrine::palm
