#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "common/misc/CxDateTime.h"
#include "common/palm/PmDBUtil.h"
#include "common/palm/PmKindInfo.h"
#include "common/palm/PmStore.h"
#include "common/palm/handheld/PmHandheldRecords.h"

namespace lazrine::palm {

// A handheld backup of one of the four built-in applications (MemoDB,
// ToDoDB, DatebookDB, AddressDB) as one more store of its kind. A database
// is recognised by its header - type "DATA" and the application's creator -
// never by its file name.
//
// Records are listed in the database's order with their unique ids as
// record ids and a status word derived from their attribute byte: deleted
// (0x80) gives kStatusDeleted, deleted with its data archived (0x80 and
// 0x08) also kStatusArchived. A deleted record whose data is gone is listed
// without texts. Every text, category names included, is converted whole
// to UTF-8: from Shift-JIS when the database is Japanese (see
// IsShiftJis), else from Windows-1252.
//
// A save writes the bytes that were loaded back with only the attribute
// bytes of records whose status changed rewritten, and of those only bits
// 0x80 and 0x08, through the same crash-safe commit as the record files
// (backup, new file beside, flush, rename; refused when the file changed
// since it was read).
class PmHandheldStore : public PmDBUtil, public PmStore {
public:
    using Records = PmHandheldRecords;
    using Data = std::variant<std::monostate, Records::Memo, Records::Todo, Records::Event, Records::Contact>;

    struct Record {
        std::uint8_t nAttributes = 0;  // as loaded
        std::uint32_t nId = 0;
        std::uint32_t nStatus = 0;
        std::uint8_t nCategory = 0;  // 0: Unfiled
        bool bPrivate = false;
        // The decoded record; empty when its data is gone or cannot be read.
        Data data;
    };

    explicit PmHandheldStore(PmKind kind) : m_nKind(kind) {}

    PmStoreKind StoreKind() const override { return PM_STORE_HANDHELD; }
    bool Load(const std::string& path) override;
    // Loads from bytes in memory; a later Save() fails.
    bool LoadBytes(std::span<const std::uint8_t> bytes);
    // A backup is never in a user's data folder where Palm Desktop reads.
    bool LoadForUser(std::uint32_t userId) override;
    bool IsLoaded() const override { return m_bLoaded; }
    bool Save() override;
    platform::IoFailure LastFailure() const override { return PmDBUtil::LastFailure(); }
    // The bytes a save would write, without touching the disk.
    bool WriteToMemory(std::vector<std::uint8_t>& out);
    void Clear() override;

    std::size_t Count() const override { return m_Records.size(); }
    std::uint32_t RecordIdAt(std::size_t i) const override { return m_Records.at(i).nId; }
    std::uint32_t StatusAt(std::size_t i) const override { return m_Records.at(i).nStatus; }
    void SetStatusAt(std::size_t i, std::uint32_t status) override { m_Records.at(i).nStatus = status; }
    std::string SourceName() const override { return m_szLoadedPath; }
    const std::string& LastError() const override { return m_szLastError; }

    const Record& At(std::size_t i) const { return m_Records.at(i); }
    // The name of a record's category (UTF-8); empty for Unfiled and for a
    // database without category names.
    const std::string& CategoryOf(const Record& record) const { return m_Categories[record.nCategory & 0x0F]; }
    // An address book's labels of its four custom fields (UTF-8); empty
    // where the database names none.
    const std::array<std::string, 4>& CustomLabels() const { return m_CustomLabels; }
    const std::string& DatabaseName() const { return m_szDatabaseName; }
    bool IsJapanese() const { return m_bShiftJis; }

    // True when `texts` read as Shift-JIS and not plausibly as Windows-1252:
    // every text is valid Shift-JIS and at least one holds a kana (a pair
    // 0x82 0x9F..0xF1 or 0x83 0x40..0x96), which in Windows-1252 would be a
    // low quote or a florin sign before a letter. Palm OS stores no encoding
    // in a database; a Japanese handheld writes kana into nearly every
    // category list and text.
    static bool IsShiftJis(const std::vector<std::string>& texts);
    // The attribute byte that shows `status` for a record loaded with
    // `loaded` attributes and `loadedStatus`: only 0x80 and 0x08 change.
    static std::uint8_t AttributesFor(std::uint8_t loaded, std::uint32_t loadedStatus, std::uint32_t status);
    static std::uint32_t StatusOf(std::uint8_t attributes);
    // A handheld date with a time of day as local calendar fields; false
    // for no date or one that names no day.
    static bool LocalFields(std::uint16_t date, int hour, int minute, misc::CxDateTime::Fields& out);
    // The same as seconds since 1970-01-01 UTC; 0 for none.
    static std::uint32_t LocalSeconds(std::uint16_t date, int hour, int minute);
    // The record at `i` as the application's record; none when its data is
    // gone or could not be read.
    template <class T>
    const T* DataAt(std::size_t i) const {
        return std::get_if<T>(&m_Records.at(i).data);
    }

private:
    bool FinishLoad(bool opened);
    bool ReadDatabase();
    void ReadCustomLabels(std::span<const std::uint8_t> appInfo);
    bool Decode(std::span<const std::uint8_t> bytes, Data& out, std::string& error) const;
    // Every text of the records and categories, for the encoding decision
    // and the conversion.
    std::vector<std::string*> Texts();
    bool PatchAttributes();

    PmKind m_nKind;
    bool m_bLoaded = false;
    bool m_bShiftJis = false;
    std::string m_szLoadedPath;
    std::string m_szDatabaseName;
    std::vector<std::uint8_t> m_Bytes;
    std::vector<Record> m_Records;
    std::array<std::string, 16> m_Categories;
    std::array<std::string, 4> m_CustomLabels;
};

}  // namespace lazrine::palm
