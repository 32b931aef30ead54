#include "common/palm/PmRecordSetFactory.h"

#include "common/palm/PmAddrInfo.h"
#include "common/palm/PmDateInfo.h"
#include "common/palm/PmMemoInfo.h"
#include "common/palm/PmTodoInfo.h"

namespace lazrine::palm {

std::vector<std::string_view> PmRecordSetFactory::Names() {
    std::vector<std::string_view> names;
    for (const PmKindInfo& kind : PmKindInfo::All()) {
        names.emplace_back(kind.szName);
    }
    return names;
}

std::unique_ptr<PmRecordSet> PmRecordSetFactory::Create(std::string_view name) {
    const PmKindInfo* kind = PmKindInfo::Find(name);
    return kind != nullptr ? Create(kind->nKind) : nullptr;
}

std::unique_ptr<PmRecordSet> PmRecordSetFactory::Create(PmKind kind) {
    switch (kind) {
        case PmKind::kContacts:
            return std::make_unique<PmAddrInfo>();
        case PmKind::kCalendar:
            return std::make_unique<PmDateInfo>();
        case PmKind::kTasks:
            return std::make_unique<PmTodoInfo>();
        case PmKind::kMemos:
            return std::make_unique<PmMemoInfo>();
    }
    return nullptr;
}

}  // namespace lazrine::palm
