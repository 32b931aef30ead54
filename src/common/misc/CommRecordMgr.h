#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "common/misc/CommRecord.h"

namespace lazrine::misc {

// The ordered list of one kind's common records, with the kind's field table.
// Records keep their index while the list is not cleared, so that the record
// at index i and the record set's display entry at index i stay paired.
template <class Rec>
class CommRecordMgr {
public:
    virtual ~CommRecordMgr() = default;

    void Clear() {
        m_Recs.clear();
        m_Recs.shrink_to_fit();
        m_nCursor = 0;
    }
    // Appends a copy of `rec` (with its own copy of the attached entry).
    Rec* Add(Rec rec) {
        m_Recs.push_back(std::move(rec));
        return &m_Recs.back();
    }
    const Rec* First() {
        m_nCursor = 0;
        return Next();
    }
    const Rec* Next() { return m_nCursor < m_Recs.size() ? &m_Recs[m_nCursor++] : nullptr; }
    std::size_t Count() const { return m_Recs.size(); }
    Rec& At(std::size_t i) { return m_Recs.at(i); }
    const Rec& At(std::size_t i) const { return m_Recs.at(i); }
    // The index of the record stored at that address, -1 when none.
    long IndexOf(const CommRecord* rec) const {
        const auto* own = dynamic_cast<const Rec*>(rec);
        if (own == nullptr || m_Recs.empty()) {
            return -1;
        }
        const Rec* begin = m_Recs.data();
        const Rec* end = begin + m_Recs.size();
        const std::less<const Rec*> before;
        if (before(own, begin) || !before(own, end)) {
            return -1;
        }
        return static_cast<long>(own - begin);
    }
    void Reserve(std::size_t n) { m_Recs.reserve(n); }

    // Copies the field table row whose key is `key`; false when none.
    bool GetFieldInfo(std::uint32_t key, CommFieldInfo& info) const {
        for (const auto& row : FieldTable()) {
            if (row.key == key) {
                info = row;
                return true;
            }
        }
        return false;
    }

    // The text of one field of one record as the window shows it: with the
    // kind's display limits (a task subject's 254 characters, a note's 8,191)
    // and cut to at most `len` - 1 characters (the window's cells take
    // 4096-byte buffers).
    std::string GetFieldText(const Rec& rec, const CommFieldInfo& info, std::size_t len) const {
        std::string text = FieldText(rec, info.key, false);
        if (len == 0) {
            return {};
        }
        if (text.size() > len - 1) {
            text.resize(len - 1);
        }
        return text;
    }

    // The same text never shortened: the whole stored text, for exports and
    // the command line's "fields".
    std::string GetWholeFieldText(const Rec& rec, const CommFieldInfo& info) const {
        return FieldText(rec, info.key, true);
    }

    virtual std::span<const CommFieldInfo> FieldTable() const = 0;

protected:
    // The text of a field: with `whole` the whole stored text, else cut to
    // the kind's display limits. GetFieldText cuts it further to its buffer.
    virtual std::string FieldText(const Rec& rec, std::uint32_t key, bool whole) const = 0;

private:
    std::vector<Rec> m_Recs;
    std::size_t m_nCursor = 0;
};

}  // namespace lazrine::misc
