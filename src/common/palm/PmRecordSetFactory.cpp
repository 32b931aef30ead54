#include "common/palm/PmRecordSetFactory.h"

#include "common/palm/PmAddrInfo.h"
#include "common/palm/PmDateInfo.h"
#include "common/palm/PmMemoInfo.h"
#include "common/palm/PmTodoInfo.h"

namespace lazrine::palm {

std::vector<std::string_view> PmRecordSetFactory::Names() { return {"contacts", "calendar", "tasks", "memos"}; }

std::unique_ptr<PmRecordSet> PmRecordSetFactory::Create(std::string_view name) {
    if (name == "contacts") {
        return std::make_unique<PmAddrInfo>();
    }
    if (name == "calendar") {
        return std::make_unique<PmDateInfo>();
    }
    if (name == "tasks") {
        return std::make_unique<PmTodoInfo>();
    }
    if (name == "memos") {
        return std::make_unique<PmMemoInfo>();
    }
    return nullptr;
}

}  // namespace lazrine::palm
