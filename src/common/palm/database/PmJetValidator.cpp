#include "common/palm/database/PmJetValidator.h"

#include <unordered_set>

namespace lazrine::palm {
namespace {

constexpr std::uint8_t kPageData = 0x01;
constexpr std::uint8_t kPageTableDef = 0x02;
constexpr std::uint8_t kPageUsageMap = 0x05;
constexpr std::uint32_t kOffsetMask = 0x1FFF;
constexpr std::uint32_t kFlagMask = 0xC000;
// Far above any real table, low enough that no size computed from them
// can overflow.
constexpr std::uint64_t kMaxIndexes = 1000;
constexpr std::size_t kMaxColumns = 256;

// Where the two layouts keep what the readers follow.
struct Layout {
    std::size_t rowCount;       // row count of a data page; the slot table follows
    std::size_t numCols;        // u16
    std::size_t numIdxs;        // u32: every index entry
    std::size_t numRealIdxs;    // u32: the entries with columns
    std::size_t usageMap;       // u32 page-and-row of the usage map
    std::size_t freeMap;        // u32 page-and-row of the free-space map
    std::size_t colsStart;      // first real-index count entry
    std::size_t realIdxCount;   // size of such an entry
    std::size_t colEntry;       // size of a column entry
    std::size_t colNum;         // column number byte inside a column entry
    std::size_t nameLength;     // 1 or 2 bytes before each name
    std::size_t realIdxEntry;   // size of an index's column block
    std::size_t idxEntry;       // size of an index entry
    std::size_t idxNum;         // u16 index number inside an index entry
    std::size_t idxType;        // type byte inside an index entry
};

constexpr Layout kJet4{12, 45, 47, 51, 55, 59, 63, 12, 25, 5, 2, 52, 28, 4, 23};
constexpr Layout kJet3{8, 25, 27, 31, 35, 39, 43, 8, 18, 1, 1, 39, 20, 4, 19};

std::uint32_t Get16(std::span<const std::uint8_t> p, std::size_t off) {
    return static_cast<std::uint32_t>(p[off] | (p[off + 1] << 8));
}
std::uint32_t Get32(std::span<const std::uint8_t> p, std::size_t off) {
    return static_cast<std::uint32_t>(p[off]) | (static_cast<std::uint32_t>(p[off + 1]) << 8) |
           (static_cast<std::uint32_t>(p[off + 2]) << 16) | (static_cast<std::uint32_t>(p[off + 3]) << 24);
}

}  // namespace

PmJetValidator::PmJetValidator(const PmJetPages& pages, bool jet3)
    : m_Pages(pages), m_bJet3(jet3), m_nPageSize(jet3 ? 2048 : 4096) {}

PmJetPages::Page PmJetValidator::Page(std::uint32_t page) const {
    PmJetPages::Page p;
    if (page >= PageCount() || !m_Pages.Read(page, p) || p.bytes.size() != m_nPageSize) {
        return {};
    }
    return p;
}

bool PmJetValidator::PageKind(std::uint32_t page, std::uint8_t& type, std::uint32_t& owner) const {
    const PmJetPages::Page held = Page(page);
    const auto p = held.bytes;
    if (p.empty()) {
        return false;
    }
    type = p[0];
    owner = Get32(p, 4);
    return true;
}

bool PmJetValidator::FindRow(std::uint32_t page, int slot, std::size_t& start, std::size_t& end,
                             std::uint32_t& flags) const {
    const Layout& l = m_bJet3 ? kJet3 : kJet4;
    const PmJetPages::Page held = Page(page);
    const auto p = held.bytes;
    if (p.empty() || slot < 0) {
        return false;
    }
    const std::size_t rows = Get16(p, l.rowCount);
    const std::size_t tableEnd = l.rowCount + 2 + rows * 2;
    const auto s = static_cast<std::size_t>(slot);
    if (s >= rows || tableEnd > m_nPageSize) {
        return false;
    }
    const std::uint32_t raw = Get16(p, l.rowCount + 2 + s * 2);
    flags = raw & kFlagMask;
    start = raw & kOffsetMask;
    end = s == 0 ? m_nPageSize : (Get16(p, l.rowCount + s * 2) & kOffsetMask);
    return start >= tableEnd && start < end && end <= m_nPageSize;
}

bool PmJetValidator::ReadDefinition(std::uint32_t tdefPage, std::vector<std::uint8_t>& def,
                                    std::string& problem) const {
    // The first page whole, then each continuation page after its 8-byte
    // header: the positions the column and index readers count in.
    def.clear();
    std::unordered_set<std::uint32_t> seen;
    for (std::uint32_t page = tdefPage; page != 0;) {
        const PmJetPages::Page held = Page(page);
        const auto p = held.bytes;
        if (p.empty()) {
            problem = "its definition continues on page " + std::to_string(page) + ", outside the file";
            return false;
        }
        if (p[0] != kPageTableDef) {
            problem = "page " + std::to_string(page) + " of its definition is not a table-definition page";
            return false;
        }
        if (!seen.insert(page).second) {
            problem = "the pages of its definition form a loop";
            return false;
        }
        def.insert(def.end(), p.begin() + (def.empty() ? 0 : 8), p.end());
        page = Get32(p, 4);
    }
    return true;
}

bool PmJetValidator::CheckDefinition(const std::vector<std::uint8_t>& def, std::string& problem) const {
    const Layout& l = m_bJet3 ? kJet3 : kJet4;
    const std::span<const std::uint8_t> d(def);
    const std::uint64_t columns = Get16(d, l.numCols);
    const std::uint64_t indexes = Get32(d, l.numIdxs);
    const std::uint64_t realIndexes = Get32(d, l.numRealIdxs);
    if (columns == 0 || columns > kMaxColumns) {
        problem = "its definition gives " + std::to_string(columns) + " columns";
        return false;
    }
    if (indexes > kMaxIndexes || realIndexes > kMaxIndexes) {
        problem = "its definition gives an impossible number of indexes";
        return false;
    }
    // The index reader takes each index's row count from the first page.
    if (l.colsStart + realIndexes * l.realIdxCount > m_nPageSize) {
        problem = "its index entries do not fit its definition page";
        return false;
    }
    std::uint64_t pos = l.colsStart + realIndexes * l.realIdxCount;
    auto fits = [&](std::uint64_t length) { return pos + length <= def.size(); };
    auto lengthAt = [&](std::uint64_t at) {
        return l.nameLength == 1 ? std::uint64_t{d[at]} : std::uint64_t{Get16(d, static_cast<std::size_t>(at))};
    };
    if (!fits(columns * l.colEntry)) {
        problem = "its column entries run past its definition";
        return false;
    }
    pos += columns * l.colEntry;
    for (std::uint64_t i = 0; i < columns; ++i) {
        if (!fits(l.nameLength) || !fits(l.nameLength + lengthAt(pos))) {
            problem = "its column names run past its definition";
            return false;
        }
        pos += l.nameLength + lengthAt(pos);
    }
    // The blocks of the indexes' columns, then one entry per index, then
    // the index names.
    if (!fits(realIndexes * l.realIdxEntry)) {
        problem = "its index columns run past its definition";
        return false;
    }
    pos += realIndexes * l.realIdxEntry;
    if (!fits(indexes * l.idxEntry)) {
        problem = "its index entries run past its definition";
        return false;
    }
    pos += indexes * l.idxEntry;
    for (std::uint64_t i = 0; i < indexes; ++i) {
        if (!fits(l.nameLength) || !fits(l.nameLength + lengthAt(pos))) {
            problem = "its index names run past its definition";
            return false;
        }
        pos += l.nameLength + lengthAt(pos);
    }
    return true;
}

bool PmJetValidator::ReadMap(std::uint32_t pgRow, PmJetPages::Page& map, std::string& problem) const {
    const std::uint32_t page = pgRow >> 8;
    const int row = static_cast<int>(pgRow & 0xFF);
    std::size_t start = 0;
    std::size_t end = 0;
    std::uint32_t flags = 0;
    if (page == 0 || !FindRow(page, row, start, end, flags)) {
        problem = "points to row " + std::to_string(row) + " of page " + std::to_string(page) + ", which does not exist";
        return false;
    }
    map = Page(page);
    if (map.bytes.empty() || map.bytes[0] != kPageData) {
        problem = "points to page " + std::to_string(page) + ", which is not a data page";
        return false;
    }
    map.bytes = map.bytes.subspan(start, end - start);
    return true;
}

bool PmJetValidator::MapPages(std::span<const std::uint8_t> map, std::vector<std::uint32_t>& pages,
                              std::string& problem) const {
    pages.clear();
    const std::uint64_t count = PageCount();
    auto mark = [&](std::uint64_t page) {
        if (page == 0 || page >= count) {
            problem = "marks page " + std::to_string(page) + ", outside the file";
            return false;
        }
        pages.push_back(static_cast<std::uint32_t>(page));
        return true;
    };
    if (map.empty()) {
        problem = "is empty";
        return false;
    }
    if (map[0] == 0) {
        // The bitmap itself, for the pages from a first page on.
        if (map.size() < 5) {
            problem = "is too short";
            return false;
        }
        const std::uint64_t first = Get32(map, 1);
        for (std::size_t byte = 5; byte < map.size(); ++byte) {
            for (unsigned bit = 0; bit < 8 && map[byte] != 0; ++bit) {
                if ((map[byte] & (1U << bit)) != 0 && !mark(first + (byte - 5) * 8 + bit)) {
                    return false;
                }
            }
        }
        return true;
    }
    if (map[0] == 1) {
        // A list of map pages, each a bitmap of its own range of pages.
        const std::uint64_t perPage = (m_nPageSize - 4) * 8;
        for (std::size_t entry = 0; 1 + entry * 4 + 4 <= map.size(); ++entry) {
            const std::uint32_t mapPage = Get32(map, 1 + entry * 4);
            if (mapPage == 0) {
                continue;
            }
            const PmJetPages::Page held = Page(mapPage);
            const auto p = held.bytes;
            if (p.empty() || p[0] != kPageUsageMap) {
                problem = "names page " + std::to_string(mapPage) + " as a map page, which it is not";
                return false;
            }
            for (std::size_t byte = 4; byte < m_nPageSize; ++byte) {
                for (unsigned bit = 0; bit < 8 && p[byte] != 0; ++bit) {
                    if ((p[byte] & (1U << bit)) != 0 && !mark(entry * perPage + (byte - 4) * 8 + bit)) {
                        return false;
                    }
                }
            }
        }
        return true;
    }
    problem = "is of unknown kind " + std::to_string(map[0]);
    return false;
}

bool PmJetValidator::CheckTable(std::uint32_t tdefPage, const std::string& name, std::vector<std::uint32_t>& dataPages,
                                std::string& error) const {
    const Layout& l = m_bJet3 ? kJet3 : kJet4;
    dataPages.clear();
    std::string problem;
    std::vector<std::uint8_t> def;
    PmJetPages::Page map;
    PmJetPages::Page freeMap;
    bool ok = false;
    if (tdefPage == 0 || tdefPage >= PageCount()) {
        problem = "its definition is said to be on page " + std::to_string(tdefPage) + ", outside the file";
    } else if (ReadDefinition(tdefPage, def, problem) && CheckDefinition(def, problem)) {
        const PmJetPages::Page first = Page(tdefPage);
        if (first.bytes.empty()) {
            problem = "its definition page cannot be read";
        } else if (!ReadMap(Get32(first.bytes, l.usageMap), map, problem)) {
            problem = "its usage map " + problem;
        } else if (!MapPages(map.bytes, dataPages, problem)) {
            problem = "its usage map " + problem;
        } else if (!ReadMap(Get32(first.bytes, l.freeMap), freeMap, problem)) {
            problem = "its free-space map " + problem;
        } else {
            ok = true;
        }
    }
    if (!ok) {
        dataPages.clear();
        error = "the database is damaged: table " + name + ": " + problem;
    }
    return ok;
}

}  // namespace lazrine::palm
