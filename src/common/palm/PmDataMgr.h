#pragma once

#include <cstddef>
#include <vector>

namespace lazrine::palm {

// A store's record container: owns its records in file or table order. The
// index of a record never changes while the container is not cleared.
template <class Rec>
class PmDataMgr {
public:
    void Clear() {
        m_Recs.clear();
        m_Recs.shrink_to_fit();
        m_nCursor = 0;
    }
    // Room for `count` records, when their number is known before they are added.
    void Reserve(std::size_t count) { m_Recs.reserve(count); }
    void Add(Rec rec) { m_Recs.push_back(std::move(rec)); }
    Rec* First() {
        m_nCursor = 0;
        return Next();
    }
    Rec* Next() { return m_nCursor < m_Recs.size() ? &m_Recs[m_nCursor++] : nullptr; }
    std::size_t Count() const { return m_Recs.size(); }
    Rec& At(std::size_t i) { return m_Recs.at(i); }
    const Rec& At(std::size_t i) const { return m_Recs.at(i); }
    std::vector<Rec>& Records() { return m_Recs; }
    const std::vector<Rec>& Records() const { return m_Recs; }

private:
    std::vector<Rec> m_Recs;
    std::size_t m_nCursor = 0;
};

}  // namespace lazrine::palm
