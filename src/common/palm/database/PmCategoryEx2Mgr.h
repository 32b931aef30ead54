#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lazrine::palm {

// One category of a database (table "Category").
struct PmCategoryEx2 {
    std::int32_t m_nId = 0;
    std::string m_szName;
    std::int32_t m_nStatus = 0;
    std::int32_t m_nColor = 0;
};

// The categories of one database, in table order.
class PmCategoryEx2Mgr {
public:
    std::size_t Count() const { return m_List.size(); }
    void Clear() { m_List.clear(); }
    void Add(PmCategoryEx2 category) { m_List.push_back(std::move(category)); }
    // The first category with that id, or none.
    const PmCategoryEx2* FindById(std::int32_t id) const;
    const PmCategoryEx2* AtIndex(std::size_t index) const { return index < m_List.size() ? &m_List[index] : nullptr; }
    // The first whose name equals `name` exactly; none for an empty name.
    const PmCategoryEx2* FindByName(std::string_view name) const;

private:
    std::vector<PmCategoryEx2> m_List;
};

}  // namespace lazrine::palm
