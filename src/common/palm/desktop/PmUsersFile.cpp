#include "common/palm/desktop/PmUsersFile.h"

#include <optional>
#include <string_view>

namespace lazrine::palm {
namespace {

constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kUserClassRef = 0x8001;
constexpr std::string_view kUserClass = "CUser";

// Bounds-checked little-endian reads over the given bytes.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> data, std::size_t pos = 0) : m_data(data), m_pos(pos) {}

    std::optional<std::uint8_t> U8() {
        if (m_pos >= m_data.size()) {
            return std::nullopt;
        }
        return m_data[m_pos++];
    }
    std::optional<std::uint16_t> U16() {
        if (m_data.size() - m_pos < 2 || m_pos > m_data.size()) {
            return std::nullopt;
        }
        const auto v = static_cast<std::uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return v;
    }
    std::optional<std::uint32_t> U32() {
        const auto lo = U16();
        if (!lo) {
            return std::nullopt;
        }
        const auto hi = U16();
        if (!hi) {
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(*lo) | (static_cast<std::uint32_t>(*hi) << 16);
    }
    std::optional<std::string> Bytes(std::size_t n) {
        if (m_pos > m_data.size() || m_data.size() - m_pos < n) {
            return std::nullopt;
        }
        std::string text(reinterpret_cast<const char*>(m_data.data() + m_pos), n);
        m_pos += n;
        return text;
    }
    std::optional<std::string> ShortText() {
        const auto len = U8();
        if (!len) {
            return std::nullopt;
        }
        return Bytes(*len);
    }
    std::size_t Pos() const { return m_pos; }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos;
};

bool IsPrintable(const std::string& text) {
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            return false;
        }
    }
    return true;
}

// The body of one entry (ID, name, folder) at the reader's position.
std::optional<PmUsersFile::User> ReadBody(Reader& r) {
    const auto id = r.U32();
    if (!id) {
        return std::nullopt;
    }
    auto name = r.ShortText();
    if (!name || !IsPrintable(*name)) {
        return std::nullopt;
    }
    auto folder = r.ShortText();
    if (!folder || !PmUsersFile::IsSafeFolderName(*folder)) {
        return std::nullopt;
    }
    PmUsersFile::User user;
    user.nUserId = *id;
    user.szName = std::move(*name);
    user.szFolder = std::move(*folder);
    return user;
}

}  // namespace

bool PmUsersFile::IsSafeFolderName(const std::string& folder) {
    if (folder.empty() || folder == "." || folder == ".." || !IsPrintable(folder)) {
        return false;
    }
    // Windows cannot name a folder with these; a separator could leave the root.
    return folder.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

bool PmUsersFile::Parse(std::span<const std::uint8_t> data) {
    m_Users.clear();
    m_nEntriesRead = 0;
    m_bComplete = false;
    if (data.size() > kMaxBytes) {
        return false;
    }
    Reader r(data);
    const auto count = r.U16();
    if (!count) {
        return false;
    }
    for (std::size_t i = 0; i < *count; ++i) {
        std::optional<User> user;
        if (i == 0) {
            const auto tag = r.U16();
            const auto schema = r.U16();
            const auto nameLength = r.U16();
            if (!tag || *tag != kNewClassTag || !schema || !nameLength || *nameLength != kUserClass.size()) {
                return false;
            }
            const auto className = r.Bytes(kUserClass.size());
            if (!className || *className != kUserClass) {
                return false;
            }
            user = ReadBody(r);
        } else {
            // Skip the rest of the previous entry: the next entry starts at
            // the first class reference that is followed by a sound body.
            std::size_t pos = r.Pos();
            while (!user && pos + 2 <= data.size()) {
                if (data[pos] == (kUserClassRef & 0xFF) && data[pos + 1] == (kUserClassRef >> 8)) {
                    Reader candidate(data, pos + 2);
                    user = ReadBody(candidate);
                    if (user) {
                        r = candidate;
                        break;
                    }
                }
                ++pos;
            }
        }
        if (!user) {
            return false;
        }
        for (const auto& seen : m_Users) {
            if (seen.nUserId == user->nUserId) {
                return false;
            }
        }
        ++m_nEntriesRead;
        if (user->nUserId >= kFirstUserId) {
            m_Users.push_back(std::move(*user));
        }
    }
    m_bComplete = true;
    return true;
}

}  // namespace lazrine::palm
