#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lazrine::palm {

// One category of a record file: the slot it occupies (0 to 15 in the files
// Palm Desktop writes), the id that records refer to, its name (kept whole:
// Palm Desktop allows 15 characters, but a file may hold more) and a second
// name safe for short file names.
class PmCategory {
public:
    static constexpr std::size_t kMaxSafeName = 255;
    static constexpr std::uint32_t kFlagDirty = 0x10;
    static constexpr std::uint32_t kFlagLow = 0x01;

    std::int32_t GetIndex() const { return m_nIndex; }
    std::int32_t GetId() const { return m_nId; }
    const std::string& GetName() const { return m_szName; }
    const std::string& GetSafeName() const { return m_szSafeName; }
    std::uint32_t GetFlags() const { return m_nFlags; }

    // Copies the name into `out`; false when it is empty or longer than `cap`.
    bool CopyName(std::string& out, std::size_t cap) const;
    bool CopySafeName(std::string& out, std::size_t cap) const;

    void SetIndex(std::int32_t index) { m_nIndex = index; }
    void SetId(std::int32_t id) { m_nId = id; }
    void SetName(const std::string& text) { m_szName = text; }
    // Keeps at most 255 characters.
    void SetSafeName(const std::string& text);
    void SetFlags(std::uint32_t flags) { m_nFlags = flags; }
    void SetDirty(bool dirty);
    bool TestLowFlag() const { return (m_nFlags & kFlagLow) != 0; }
    // Same index, same id and the same name (case-sensitive).
    bool Equals(const PmCategory& other) const;

private:
    std::int32_t m_nIndex = -1;
    std::int32_t m_nId = -1;
    std::string m_szName;
    std::string m_szSafeName;
    std::uint32_t m_nFlags = 0;
};

}  // namespace lazrine::palm
