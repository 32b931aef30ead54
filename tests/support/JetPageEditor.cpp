#include "support/JetPageEditor.h"

#include <algorithm>

namespace lazrine::testing {
namespace {

constexpr std::size_t kPage = 4096;
constexpr std::size_t kRowCount = 12;
constexpr std::size_t kFreeSpace = 2;
constexpr std::size_t kOwner = 4;
constexpr std::size_t kUsageMap = 55;
constexpr std::size_t kFreeMap = 59;
constexpr std::uint32_t kMask = 0x1FFF;
constexpr std::uint32_t kDeleted = 0x8000;
constexpr std::uint32_t kOverflow = 0x4000;

std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at) | (b.at(at + 1) << 8));
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}
void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b.at(at) = static_cast<std::uint8_t>(v);
    b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}
std::size_t Base(std::uint32_t page) { return static_cast<std::size_t>(page) * kPage; }

// The bytes of row `slot` of a data page, and its raw slot value.
bool Slot(const std::vector<std::uint8_t>& b, std::uint32_t page, int slot, std::size_t& start, std::size_t& end,
          std::uint32_t& raw) {
    if (Base(page) + kPage > b.size() || b[Base(page)] != 0x01 || slot < 0) {
        return false;
    }
    const std::size_t p = Base(page);
    const auto s = static_cast<std::size_t>(slot);
    if (s >= U16(b, p + kRowCount)) {
        return false;
    }
    raw = U16(b, p + kRowCount + 2 + 2 * s);
    start = raw & kMask;
    end = s == 0 ? kPage : (U16(b, p + kRowCount + 2 * s) & kMask);
    return start < end && end <= kPage;
}

// Sets the bit of `page` in the type-0 map row that `pgRow` points to.
bool MarkInMap(std::vector<std::uint8_t>& b, std::uint32_t pgRow, std::uint32_t page) {
    std::size_t start = 0;
    std::size_t end = 0;
    std::uint32_t raw = 0;
    if (!Slot(b, pgRow >> 8, static_cast<int>(pgRow & 0xFF), start, end, raw)) {
        return false;
    }
    const std::size_t map = Base(pgRow >> 8) + start;
    const std::size_t size = end - start;
    if (size >= 5 && b[map] == 0 && page >= U32(b, map + 1)) {
        // The bitmap inline, from its first page on.
        const std::size_t bit = page - U32(b, map + 1);
        if (5 + bit / 8 >= size) {
            return false;
        }
        b[map + 5 + bit / 8] = static_cast<std::uint8_t>(b[map + 5 + bit / 8] | (1U << (bit % 8)));
        return true;
    }
    if (size >= 5 && b[map] == 1) {
        // Map pages, each a bitmap of (page size - 4) * 8 pages after a 4-byte header.
        constexpr std::size_t kPerPage = (kPage - 4) * 8;
        const std::size_t entry = page / kPerPage;
        const std::size_t bit = page % kPerPage;
        if (1 + 4 * entry + 4 > size) {
            return false;
        }
        const std::uint32_t mapPage = U32(b, map + 1 + 4 * entry);
        if (mapPage == 0 || Base(mapPage) + kPage > b.size() || b[Base(mapPage)] != 0x05) {
            return false;
        }
        const std::size_t at = Base(mapPage) + 4 + bit / 8;
        b[at] = static_cast<std::uint8_t>(b[at] | (1U << (bit % 8)));
        return true;
    }
    return false;
}

}  // namespace

bool JetPageEditor::SetSlotFlags(Bytes& file, std::uint32_t page, int slot, std::uint16_t flags, std::string& error) {
    std::size_t start = 0;
    std::size_t end = 0;
    std::uint32_t raw = 0;
    if (!Slot(file, page, slot, start, end, raw)) {
        error = "no such row";
        return false;
    }
    Put16(file, Base(page) + kRowCount + 2 + 2 * static_cast<std::size_t>(slot), (raw & kMask) | flags);
    return true;
}

bool JetPageEditor::MoveRowData(Bytes& file, std::uint32_t page, int slot, std::uint32_t target, std::string& error) {
    Bytes out = file;
    std::size_t start = 0;
    std::size_t end = 0;
    std::uint32_t raw = 0;
    if (!Slot(out, page, slot, start, end, raw) || (raw & (kDeleted | kOverflow)) != 0 || end - start < 4) {
        error = "the row cannot be moved";
        return false;
    }
    const Bytes data(out.begin() + static_cast<std::ptrdiff_t>(Base(page) + start),
                     out.begin() + static_cast<std::ptrdiff_t>(Base(page) + end));
    const std::uint32_t owner = U32(out, Base(page) + kOwner);
    if (target == 0) {
        // A new data page of the same table, in both of its maps.
        if (out.size() % kPage != 0) {
            error = "the file is not made of whole pages";
            return false;
        }
        target = static_cast<std::uint32_t>(out.size() / kPage);
        out.resize(out.size() + kPage, 0);
        const std::size_t p = Base(target);
        out[p] = 0x01;
        out[p + 1] = 0x01;
        Put16(out, p + kFreeSpace, kPage - kRowCount - 2);
        Put16(out, p + kOwner, owner & 0xFFFF);
        Put16(out, p + kOwner + 2, owner >> 16);
        if (!MarkInMap(out, U32(out, Base(owner) + kUsageMap), target) ||
            !MarkInMap(out, U32(out, Base(owner) + kFreeMap), target)) {
            error = "the table's maps cannot take the new page";
            return false;
        }
    }
    const std::size_t t = Base(target);
    if (t + kPage > out.size() || out[t] != 0x01 || U32(out, t + kOwner) != owner) {
        error = "the target is not a data page of the table";
        return false;
    }
    // The new row goes below the lowest row of the page, its slot after the last.
    const std::size_t rows = U16(out, t + kRowCount);
    std::size_t lowest = kPage;
    for (std::size_t i = 0; i < rows; ++i) {
        lowest = std::min<std::size_t>(lowest, U16(out, t + kRowCount + 2 + 2 * i) & kMask);
    }
    const std::size_t tableEnd = kRowCount + 2 + 2 * (rows + 1);
    if (rows >= 255 || lowest < data.size() + tableEnd) {
        error = "the target page is full";
        return false;
    }
    const std::size_t at = lowest - data.size();
    std::copy(data.begin(), data.end(), out.begin() + static_cast<std::ptrdiff_t>(t + at));
    Put16(out, t + kRowCount + 2 + 2 * rows, static_cast<std::uint32_t>(at) | kDeleted);
    Put16(out, t + kRowCount, static_cast<std::uint32_t>(rows + 1));
    Put16(out, t + kFreeSpace, U16(out, t + kFreeSpace) - static_cast<std::uint32_t>(data.size() + 2));
    // The old place: the pointer, then zeros.
    const std::size_t old = Base(page) + start;
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(old), out.begin() + static_cast<std::ptrdiff_t>(Base(page) + end), 0);
    out[old] = static_cast<std::uint8_t>(rows);
    out[old + 1] = static_cast<std::uint8_t>(target);
    out[old + 2] = static_cast<std::uint8_t>(target >> 8);
    out[old + 3] = static_cast<std::uint8_t>(target >> 16);
    Put16(out, Base(page) + kRowCount + 2 + 2 * static_cast<std::size_t>(slot), raw | kOverflow);
    file = std::move(out);
    return true;
}

bool JetPageEditor::Rows(const Bytes& file, std::uint32_t tdefPage, std::vector<RowPlace>& rows, std::string& error) {
    rows.clear();
    std::size_t start = 0;
    std::size_t end = 0;
    std::uint32_t raw = 0;
    if (Base(tdefPage) + kPage > file.size() || file[Base(tdefPage)] != 0x02) {
        error = "no table definition there";
        return false;
    }
    for (std::uint32_t page = 1; Base(page) + kPage <= file.size(); ++page) {
        if (file[Base(page)] != 0x01 || U32(file, Base(page) + kOwner) != tdefPage) {
            continue;
        }
        const int count = static_cast<int>(U16(file, Base(page) + kRowCount));
        for (int slot = 0; slot < count; ++slot) {
            RowPlace row;
            row.nPage = row.nDataPage = page;
            row.nSlot = row.nDataSlot = slot;
            if (!Slot(file, page, slot, start, end, raw)) {
                error = "a damaged slot";
                return false;
            }
            if ((raw & kDeleted) != 0) {
                continue;
            }
            for (int hops = 0; (raw & kOverflow) != 0; ++hops) {
                const std::size_t p = Base(row.nDataPage) + start;
                row.bOverflow = true;
                row.nDataSlot = file[p];
                row.nDataPage = U32(file, p) >> 8;
                if (hops > 8 || !Slot(file, row.nDataPage, row.nDataSlot, start, end, raw)) {
                    error = "an overflow row points nowhere";
                    return false;
                }
            }
            row.nOffset = Base(row.nDataPage) + start;
            row.nSize = end - start;
            rows.push_back(row);
        }
    }
    return true;
}

bool JetPageEditor::FindRowById(const Bytes& file, std::uint32_t tdefPage, std::int32_t id, RowPlace& row) {
    std::vector<RowPlace> rows;
    std::string error;
    if (!Rows(file, tdefPage, rows, error)) {
        return false;
    }
    for (const RowPlace& r : rows) {
        // A row starts with its column count; the fixed columns follow.
        if (r.nSize >= 6 && static_cast<std::int32_t>(U32(file, r.nOffset + 2)) == id) {
            row = r;
            return true;
        }
    }
    return false;
}

}  // namespace lazrine::testing
