#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lazrine::palm {

// A Palm OS record database (.pdb), as a handheld backup (a HotSync
// "Backup" folder, a backup card, a J-Pilot or pilot-link folder) holds it:
// the 78-byte header, the record list, the application info block and each
// record's bytes. All numbers are big-endian.
//
// Parse reads any bytes without trusting them: every offset and size is
// checked against the data, a damaged database is refused with the reason,
// and nothing is copied (records are offsets into the caller's bytes, which
// must outlive the object). A record's attribute byte lies at
// AttributeOffset(index), where an undelete changes it.
class PmPdbFile {
public:
    static constexpr std::size_t kHeaderSize = 78;
    static constexpr std::size_t kEntrySize = 8;
    // Record attributes.
    static constexpr std::uint8_t kAttrDeleted = 0x80;
    static constexpr std::uint8_t kAttrDirty = 0x40;
    static constexpr std::uint8_t kAttrBusy = 0x20;
    static constexpr std::uint8_t kAttrSecret = 0x10;  // private
    // Of a deleted record: its data was kept (archived) for the desktop.
    static constexpr std::uint8_t kAttrArchive = 0x08;
    static constexpr std::uint8_t kCategoryMask = 0x0F;
    // Database attributes: a resource database holds no records.
    static constexpr std::uint16_t kDbResource = 0x0001;
    static constexpr std::size_t kCategoryCount = 16;
    static constexpr std::size_t kCategoryNameSize = 16;

    struct Record {
        std::uint8_t nAttributes = 0;
        std::uint32_t nUniqueId = 0;  // 24 bits
        std::size_t nOffset = 0;      // of its data in the file
        std::size_t nSize = 0;        // 0: no data (a deleted record's may be gone)
    };
    // The standard category part of an application info block.
    struct Categories {
        std::array<std::string, kCategoryCount> names;  // bytes as stored, without the zero
        std::array<std::uint8_t, kCategoryCount> ids{};
    };

    // False, with `error`, for bytes that are no record database.
    bool Parse(std::span<const std::uint8_t> bytes, std::string& error);

    const std::string& Name() const { return m_szName; }
    std::uint16_t Attributes() const { return m_nAttributes; }
    // Four characters each: "DATA", "memo".
    const std::string& Type() const { return m_szType; }
    const std::string& Creator() const { return m_szCreator; }
    const std::vector<Record>& Records() const { return m_Records; }
    std::span<const std::uint8_t> RecordData(const Record& record) const {
        return m_Bytes.subspan(record.nOffset, record.nSize);
    }
    // The application info block; empty when the database has none.
    std::span<const std::uint8_t> AppInfo() const { return m_AppInfo; }
    // The category names and ids of a standard application info block;
    // false when the block is too short to hold them.
    bool ReadCategories(Categories& out) const;

    static std::size_t AttributeOffset(std::size_t index) { return kHeaderSize + index * kEntrySize + 4; }
    static std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t at) {
        return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
    }
    static std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
        return static_cast<std::uint32_t>(bytes[at]) << 24 | static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
               static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
    }

private:
    std::span<const std::uint8_t> m_Bytes;
    std::string m_szName;
    std::uint16_t m_nAttributes = 0;
    std::string m_szType;
    std::string m_szCreator;
    std::vector<Record> m_Records;
    std::span<const std::uint8_t> m_AppInfo;
};

}  // namespace lazrine::palm
