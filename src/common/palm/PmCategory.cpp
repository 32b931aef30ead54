#include "common/palm/PmCategory.h"

namespace lazrine::palm {

bool PmCategory::CopyName(std::string& out, std::size_t cap) const {
    out.clear();
    if (m_szName.empty() || m_szName.size() > cap) {
        return false;
    }
    out = m_szName;
    return true;
}

bool PmCategory::CopySafeName(std::string& out, std::size_t cap) const {
    out.clear();
    if (m_szSafeName.empty() || m_szSafeName.size() > cap) {
        return false;
    }
    out = m_szSafeName;
    return true;
}

void PmCategory::SetSafeName(const std::string& text) { m_szSafeName = text.substr(0, kMaxSafeName); }

void PmCategory::SetDirty(bool dirty) {
    if (dirty) {
        m_nFlags |= kFlagDirty;
    } else {
        m_nFlags &= ~kFlagDirty;
    }
}

bool PmCategory::Equals(const PmCategory& other) const {
    return m_nIndex == other.m_nIndex && m_nId == other.m_nId && m_szName == other.m_szName;
}

}  // namespace lazrine::palm
