#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lazrine::palm {

// A text of a record file seen where the file holds it: the address of its
// CString (a length byte, or 0xFF and a little-endian u16 length, then the
// characters) inside the bytes a record store loaded. It is half the size of
// a `std::string_view`, which matters for records of many text fields held
// by the hundred thousand, and reads as one wherever a view is taken.
//
// Only the record file reader makes one (At), from a CString it has checked
// to lie whole inside the bytes; it stays valid while those bytes are held
// (see PmFileStore). A default one is the empty text.
class PmFileText {
public:
    PmFileText() = default;
    // The text whose CString starts at `cstring`.
    static PmFileText At(const std::uint8_t* cstring) {
        PmFileText text;
        text.m_pCString = cstring;
        return text;
    }

    std::string_view View() const {
        if (m_pCString == nullptr) {
            return {};
        }
        if (m_pCString[0] != 0xFF) {
            return {reinterpret_cast<const char*>(m_pCString + 1), m_pCString[0]};
        }
        const std::size_t length = static_cast<std::size_t>(m_pCString[1]) | (static_cast<std::size_t>(m_pCString[2]) << 8);
        return {reinterpret_cast<const char*>(m_pCString + 3), length};
    }
    operator std::string_view() const { return View(); }
    bool empty() const { return View().empty(); }
    std::size_t size() const { return View().size(); }

    friend bool operator==(const PmFileText& a, const PmFileText& b) { return a.View() == b.View(); }
    friend bool operator==(const PmFileText& a, std::string_view b) { return a.View() == b; }

private:
    const std::uint8_t* m_pCString = nullptr;
};

}  // namespace lazrine::palm
