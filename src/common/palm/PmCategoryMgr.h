#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "common/palm/PmCategory.h"

namespace lazrine::palm {

// The sixteen category slots of a record file. Slot 0 holds the synthetic
// "Unfiled" category (id 0) once a section was read; a category always sits in
// the slot named by its own index.
class PmCategoryMgr {
public:
    static constexpr int kSlots = 16;

    int Count() const { return m_nCount; }
    const PmCategory* FindById(std::int32_t id) const;
    // None when `index` (taken as u16) is above 15.
    const PmCategory* AtIndex(std::uint32_t index) const;
    // Case-insensitive; none for an empty text.
    const PmCategory* FindByName(const std::string& text) const;
    const PmCategory* First();
    const PmCategory* Next();

    // Adds a copy of `category`, assigning a free slot and a new id when they
    // are -1 and storing the safe second name (also into `category`). Fails
    // when the list is full, no slot or id is free, the id is already held, or
    // the category's slot is outside 0..15 or already taken.
    bool Add(PmCategory& category);
    void SetModified(bool modified) { m_bModified = modified; }
    bool IsModified() const { return m_bModified; }

    std::uint32_t NextId() const { return m_nNextId; }
    void SetNextId(std::uint32_t id) { m_nNextId = id; }

    // The name with every character that cannot appear in a short file name
    // replaced by an underscore, cut to 255 characters.
    static std::string SafeNameOf(const std::string& name);

private:
    std::uint32_t m_nNextId = 128;
    int m_nCursor = 0;
    int m_nCount = 0;
    std::array<std::optional<PmCategory>, kSlots> m_aSlots;
    bool m_bModified = false;
};

}  // namespace lazrine::palm
