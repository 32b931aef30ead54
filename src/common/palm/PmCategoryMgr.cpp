#include "common/palm/PmCategoryMgr.h"

#include <cctype>
#include <cstring>

namespace lazrine::palm {

const PmCategory* PmCategoryMgr::FindById(std::int32_t id) const {
    for (const auto& slot : m_aSlots) {
        if (slot && slot->GetId() == id) {
            return &*slot;
        }
    }
    return nullptr;
}

const PmCategory* PmCategoryMgr::AtIndex(std::uint32_t index) const {
    const auto slot = static_cast<std::uint16_t>(index);
    if (slot >= kSlots) {
        return nullptr;
    }
    return m_aSlots[slot] ? &*m_aSlots[slot] : nullptr;
}

const PmCategory* PmCategoryMgr::FindByName(const std::string& text) const {
    if (text.empty()) {
        return nullptr;
    }
    for (const auto& slot : m_aSlots) {
        if (!slot || slot->GetName().size() != text.size()) {
            continue;
        }
        bool same = true;
        for (std::size_t i = 0; i < text.size() && same; ++i) {
            same = std::tolower(static_cast<unsigned char>(text[i])) ==
                   std::tolower(static_cast<unsigned char>(slot->GetName()[i]));
        }
        if (same) {
            return &*slot;
        }
    }
    return nullptr;
}

const PmCategory* PmCategoryMgr::First() {
    m_nCursor = 0;
    return Next();
}

const PmCategory* PmCategoryMgr::Next() {
    while (m_nCursor < kSlots) {
        const auto& slot = m_aSlots[static_cast<std::size_t>(m_nCursor++)];
        if (slot) {
            return &*slot;
        }
    }
    return nullptr;
}

std::string PmCategoryMgr::SafeNameOf(const std::string& name) {
    static constexpr const char* kUnsafe = "\"*+,./:;<=>?[\\]^|";
    std::string safe = name.substr(0, PmCategory::kMaxSafeName);
    for (char& c : safe) {
        if (c != '\0' && std::strchr(kUnsafe, c) != nullptr) {
            c = '_';
        }
    }
    return safe;
}

bool PmCategoryMgr::Add(PmCategory& category) {
    if (m_nCount >= kSlots) {
        return false;
    }
    if (category.GetIndex() == -1) {
        int free = -1;
        for (int i = 1; i < kSlots && free < 0; ++i) {
            if (!m_aSlots[static_cast<std::size_t>(i)]) {
                free = i;
            }
        }
        if (free < 0) {
            return false;
        }
        category.SetIndex(free);
        category.SetDirty(true);
    }
    if (category.GetId() == -1) {
        // The new id is one above the highest id of the occupied slots from 0
        // upward; slot 0 ("Unfiled") must be present.
        std::int32_t id = -1;
        int walked = 0;
        while (walked < kSlots && m_aSlots[static_cast<std::size_t>(walked)]) {
            const std::int32_t held = m_aSlots[static_cast<std::size_t>(walked)]->GetId();
            if (held >= id) {
                id = held + 1;
            }
            ++walked;
        }
        if (walked == 0 || walked == kSlots || id < 0) {
            return false;
        }
        category.SetId(id);
        category.SetDirty(true);
    } else if (FindById(category.GetId()) != nullptr) {
        return false;
    }
    // A slot outside the sixteen, or one already taken, would lose a category
    // on the next save; such a section is refused rather than guessed at.
    const std::int32_t index = category.GetIndex();
    if (index < 0 || index >= kSlots || m_aSlots[static_cast<std::size_t>(index)]) {
        return false;
    }
    if (!category.GetName().empty()) {
        category.SetSafeName(SafeNameOf(category.GetName()));
    }
    m_aSlots[static_cast<std::size_t>(index)] = category;
    ++m_nCount;
    m_bModified = true;
    return true;
}

}  // namespace lazrine::palm
