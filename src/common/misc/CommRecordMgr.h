#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/misc/CommRecord.h"

namespace lazrine::misc {

// The ordered list of one kind's common records, with the kind's field table.
//
// The records are built on demand, one at a time: the list knows how many
// records it has and how to build the one at an index (SetSource), and At(i)
// builds record i from its native record when it is not the one built last.
// So a loaded file costs no common record per native record, whatever its
// size. A reference from At() or First()/Next() stays valid, and keeps what
// was written to it, until a record at another index is asked for or the
// list is cleared or given a new source; index i always pairs with the
// record set's display entry at index i.
template <class Rec>
class CommRecordMgr {
public:
    virtual ~CommRecordMgr() = default;

    void Clear() { SetSource(0, nullptr); }
    // From now on the list holds `count` records; `build(i)` builds record i
    // and hands it over with Put().
    void SetSource(std::size_t count, std::function<void(std::size_t)> build) {
        m_nCount = count;
        m_Build = std::move(build);
        m_Built = Rec{};
        m_nBuilt = kNone;
        m_nCursor = 0;
    }
    // Takes the record the source builds for the index being asked for.
    void Put(Rec rec) { m_Built = std::move(rec); }
    const Rec* First() {
        m_nCursor = 0;
        return Next();
    }
    const Rec* Next() { return m_nCursor < m_nCount ? &At(m_nCursor++) : nullptr; }
    std::size_t Count() const { return m_nCount; }
    // Throws std::out_of_range for an index past the end, as a vector's at().
    Rec& At(std::size_t i) { return const_cast<Rec&>(std::as_const(*this).At(i)); }
    const Rec& At(std::size_t i) const {
        if (i >= m_nCount) {
            throw std::out_of_range("no common record " + std::to_string(i));
        }
        if (m_nBuilt != i) {
            m_nBuilt = kNone;
            m_Built = Rec{};
            m_Build(i);
            m_nBuilt = i;
        }
        return m_Built;
    }
    // The index of the record at that address (the one built last), -1 when
    // it is not this list's.
    long IndexOf(const CommRecord* rec) const {
        if (rec == nullptr || rec != &m_Built || m_nBuilt == kNone) {
            return -1;
        }
        return static_cast<long>(m_nBuilt);
    }

    // Copies the field table row whose key is `key`; false when none.
    bool GetFieldInfo(std::uint32_t key, CommFieldInfo& info) const {
        const CommFieldInfo* row = FindField(key);
        if (row != nullptr) {
            info = *row;
        }
        return row != nullptr;
    }
    // The field table row whose key is `key`, nullptr when none. Writers ask
    // for every field of every record in table order, so the row after the
    // one found last is tried first: a record's fields cost one comparison
    // each instead of a walk through the table.
    const CommFieldInfo* FindField(std::uint32_t key) const {
        const std::span<const CommFieldInfo> table = FieldTable();
        if (m_nFieldHint < table.size() && table[m_nFieldHint].key == key) {
            return &table[m_nFieldHint++];
        }
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (table[i].key == key) {
                m_nFieldHint = i + 1;
                return &table[i];
            }
        }
        return nullptr;
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
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t m_nCount = 0;
    std::function<void(std::size_t)> m_Build;
    mutable Rec m_Built{};
    mutable std::size_t m_nBuilt = kNone;
    mutable std::size_t m_nFieldHint = 0;
    std::size_t m_nCursor = 0;
};

}  // namespace lazrine::misc
