#include "common/palm/PmCategoryMgr.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace lazrine::palm {

const PmCategory* PmCategoryMgr::FindById(std::int32_t id) const {
    for (const PmCategory& category : m_Categories) {
        if (category.GetId() == id) {
            return &category;
        }
    }
    return nullptr;
}

const PmCategory* PmCategoryMgr::AtIndex(std::uint32_t index) const {
    const auto slot = static_cast<std::uint16_t>(index);
    if (slot >= kSlots) {
        return nullptr;
    }
    for (const PmCategory& category : m_Categories) {
        if (category.GetIndex() == slot) {
            return &category;
        }
    }
    return nullptr;
}

const PmCategory* PmCategoryMgr::FindByName(const std::string& text) const {
    if (text.empty()) {
        return nullptr;
    }
    for (const PmCategory& category : m_Categories) {
        const std::string& name = category.GetName();
        if (name.size() == text.size() && std::equal(name.begin(), name.end(), text.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            })) {
            return &category;
        }
    }
    return nullptr;
}

const PmCategory* PmCategoryMgr::First() {
    m_nCursor = 0;
    return Next();
}

const PmCategory* PmCategoryMgr::Next() {
    return m_nCursor < m_Categories.size() ? &m_Categories[m_nCursor++] : nullptr;
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
    if (category.GetIndex() == -1) {
        int free = -1;
        for (int i = 1; i < kSlots && free < 0; ++i) {
            if (AtIndex(static_cast<std::uint32_t>(i)) == nullptr) {
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
        // The new id is one above the highest id of the occupied slots from
        // 0 upward, up to the first free one; slot 0 ("Unfiled") must be
        // present.
        std::int32_t id = -1;
        std::uint32_t walked = 0;
        for (const PmCategory* held = AtIndex(0); held != nullptr && walked < kSlots; held = AtIndex(++walked)) {
            if (held->GetId() >= id) {
                id = held->GetId() + 1;
            }
        }
        if (walked == 0 || walked == kSlots || id < 0) {
            return false;
        }
        category.SetId(id);
        category.SetDirty(true);
    } else if (FindById(category.GetId()) != nullptr) {
        return false;
    }
    if (!category.GetName().empty()) {
        category.SetSafeName(SafeNameOf(category.GetName()));
    }
    // Slot order; a category with the slot of one already held goes after it.
    const auto at = std::upper_bound(m_Categories.begin(), m_Categories.end(), category.GetIndex(),
                                     [](std::int32_t index, const PmCategory& held) {
                                         return static_cast<std::uint32_t>(index) <
                                                static_cast<std::uint32_t>(held.GetIndex());
                                     });
    m_Categories.insert(at, category);
    m_bModified = true;
    return true;
}

}  // namespace lazrine::palm
