#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/palm/PmCategory.h"

namespace lazrine::palm {

// The categories of a record file, ordered by their slot (index). Palm
// Desktop uses sixteen slots, slot 0 holding the synthetic "Unfiled" category
// (id 0) once a section was read; a file read from disk may hold more
// entries, or entries outside the sixteen slots, and every one is kept so that
// none of its records loses its category name.
class PmCategoryMgr {
public:
    // The slots Palm Desktop gives categories; a new category takes a free
    // one of them.
    static constexpr int kSlots = 16;

    int Count() const { return static_cast<int>(m_Categories.size()); }
    // The first category (in slot order) with that id.
    const PmCategory* FindById(std::int32_t id) const;
    // The first category in slot `index` (taken as u16); none when there
    // is none or the slot is past the sixteen (such categories are reached
    // by FindById and First/Next).
    const PmCategory* AtIndex(std::uint32_t index) const;
    // Case-insensitive; none for an empty text.
    const PmCategory* FindByName(const std::string& text) const;
    const PmCategory* First();
    const PmCategory* Next();

    // Adds a copy of `category`. A category without a slot (-1) takes the
    // lowest free one of slots 1 to 15, and one without an id (-1) the next
    // id after those held (slot 0 must be there); both fail when there is
    // none free. A category with an id already held is refused. The safe
    // second name is stored (also into `category`).
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
    std::size_t m_nCursor = 0;
    std::vector<PmCategory> m_Categories;
    bool m_bModified = false;
};

}  // namespace lazrine::palm
