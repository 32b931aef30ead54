#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lazrine::testing {

// Byte-level changes to a Jet 4 (Access 2000) database, written from the
// format independently of the engine: what Access does when an edit makes a
// row grow on a full page, and a reader of a table's rows that follows what
// it made. Page size 4096; data pages keep their row count at 12 and the
// slot table after it.
class JetPageEditor {
public:
    using Bytes = std::vector<std::uint8_t>;

    // Where the data of one live row of a table lies.
    struct RowPlace {
        std::uint32_t nPage = 0;  // the page of its slot
        int nSlot = 0;
        std::uint32_t nDataPage = 0;  // where its bytes are (another page for an overflow row)
        int nDataSlot = 0;
        std::size_t nOffset = 0;  // file offset of its first byte
        std::size_t nSize = 0;
        bool bOverflow = false;
    };

    // Moves the data of row `slot` of data page `page` to `target` (a data
    // page of the same table, the same page included; 0 = a new page added
    // at the end of the file and to the table's usage and free-space maps,
    // inline or map-page maps).
    // The data gets a new slot flagged 0x8000 (scans pass it over); the old
    // slot keeps its size, holds the pointer (row byte, 3-byte page) followed
    // by zeros, and is flagged 0x4000. False, with `file` unchanged, when
    // the row or the target does not allow it.
    static bool MoveRowData(Bytes& file, std::uint32_t page, int slot, std::uint32_t target, std::string& error);
    // Sets the flags of a row slot to `flags` (0, 0x4000, 0x8000, 0xC000).
    static bool SetSlotFlags(Bytes& file, std::uint32_t page, int slot, std::uint16_t flags, std::string& error);

    // Every live row of the table defined at `tdefPage`: the data pages it
    // owns in file order, each page's slots in order, overflow rows followed
    // to their data.
    static bool Rows(const Bytes& file, std::uint32_t tdefPage, std::vector<RowPlace>& rows, std::string& error);
    // The row whose first fixed column (a Long, e.g. "Record ID") holds `id`.
    static bool FindRowById(const Bytes& file, std::uint32_t tdefPage, std::int32_t id, RowPlace& row);
};

}  // namespace lazrine::testing
