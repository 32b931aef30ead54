#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lazrine::palm {

// Which generation of store holds a record set's records.
enum PmStoreKind : std::uint32_t {
    PM_STORE_NONE = 0,
    PM_STORE_CLASSIC = 1,
    PM_STORE_EXTENDED = 2,
    PM_STORE_DATABASE = 3,
    PM_STORE_HANDHELD = 4,  // a Palm OS database from a handheld backup (.pdb)
    PM_STORE_FAILED = 255,
};

const char* PmStoreKindName(PmStoreKind kind);

// Field type tags of the record files.
enum PmFieldType : std::uint32_t {
    PM_FIELD_INTEGER = 1,
    PM_FIELD_DATE = 3,
    PM_FIELD_CSTRING = 5,
    PM_FIELD_BOOLEAN = 6,
    PM_FIELD_REPEAT = 8,
    PM_FIELD_QUAD = 68,
};

// Status word bits shared by every kind and generation.
inline constexpr std::uint32_t kStatusDeleted = 0x04;
inline constexpr std::uint32_t kStatusArchived = 0x80;
inline constexpr std::uint32_t kStatusUndeleted = 0x01;

inline bool PmIsDeletedStatus(std::uint32_t status) {
    return (status & (kStatusDeleted | kStatusArchived)) != 0;
}

// The undelete rule: clear 0x04 and 0x80, set 0x01, keep every other bit.
inline std::uint32_t PmUndeletedStatus(std::uint32_t status) {
    return (status & ~(kStatusDeleted | kStatusArchived)) | kStatusUndeleted;
}

using PmQuad = std::array<std::uint8_t, 8>;

// A binary field of the extended records, carried from load to save byte for
// byte. nForm 0: no payload; 1 to 3: nValueA, nValueB, nDataLength and the
// data; 4 or more: nForm is itself the data length.
struct PmBlobField {
    std::uint32_t nTag = 0;
    std::uint32_t nForm = 0;
    std::uint32_t nValueA = 0;
    std::uint32_t nValueB = 0;
    std::uint32_t nDataLength = 0;
    std::vector<std::uint8_t> data;

    bool operator==(const PmBlobField&) const = default;
};

// Binary fields of one record, which the file holds back to back: a view of
// those bytes inside the loaded file, unchanged and never copied, which
// matters when a file holds a million records that nearly all carry empty
// binary fields. It is valid while the store keeps the bytes it loaded.
// Each field has the form PmBlobField describes.
struct PmBlobBytes {
    std::span<const std::uint8_t> bytes;

    // The bytes of the field at `index` (0 for the first held), empty when
    // fewer fields are held.
    std::span<const std::uint8_t> FieldBytes(std::size_t index) const;
    // The field at `index`, decoded; a default field when it is not held.
    PmBlobField Field(std::size_t index) const;
    // The size of the binary field that begins `data`; 0 when `data` does not
    // hold a whole one.
    static std::size_t FieldSize(std::span<const std::uint8_t> data);

    bool operator==(const PmBlobBytes& other) const {
        return std::equal(bytes.begin(), bytes.end(), other.bytes.begin(), other.bytes.end());
    }
};

// The schema block every record file carries after its categories.
struct PmSchema {
    std::uint32_t nSchemaId = 0;
    std::uint32_t nFieldsPerRecord = 0;
    std::uint32_t nRecordIdPos = 0;
    std::uint32_t nStatusPos = 0;
    std::uint32_t nPlacementPos = 0;
    std::vector<std::uint16_t> aFieldTypes;  // nFieldCount entries

    bool operator==(const PmSchema&) const = default;
};

}  // namespace lazrine::palm
