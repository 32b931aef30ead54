#include "common/palm/database/PmCategoryEx2Mgr.h"

namespace lazrine::palm {

const PmCategoryEx2* PmCategoryEx2Mgr::FindById(std::int32_t id) const {
    for (const PmCategoryEx2& c : m_List) {
        if (c.m_nId == id) {
            return &c;
        }
    }
    return nullptr;
}

const PmCategoryEx2* PmCategoryEx2Mgr::FindByName(std::string_view name) const {
    if (name.empty()) {
        return nullptr;
    }
    for (const PmCategoryEx2& c : m_List) {
        if (c.m_szName == name) {
            return &c;
        }
    }
    return nullptr;
}

}  // namespace lazrine::palm
