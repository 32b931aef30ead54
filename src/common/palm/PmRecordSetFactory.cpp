#include "common/palm/PmRecordSetFactory.h"

#include "common/palm/PmMemoInfo.h"

namespace lazrine::palm {

std::vector<std::string_view> PmRecordSetFactory::Names() { return {"memos"}; }

std::unique_ptr<PmRecordSet> PmRecordSetFactory::Create(std::string_view name) {
    if (name == "memos") {
        return std::make_unique<PmMemoInfo>();
    }
    return nullptr;
}

}  // namespace lazrine::palm
