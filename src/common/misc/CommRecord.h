#pragma once

#include <cstdint>
#include <string>

namespace lazrine::misc {

// What every common record carries, whatever its kind: where it came from
// (1 classic file, 2 extended file, 16 database, 32 handheld backup), which
// tells how its texts are encoded (see HoldsUtf8), and its record id. Its status is not copied here: the record
// set that holds it answers deleted and archived by index.
//
// One copy of every text: a common record does not copy its native record's
// texts but refers to them (`std::string_view` members, set from the native
// record's texts - views into the store's loaded bytes, or its `std::string`
// members - in the kind's BuildCommon; setters take `const std::string&` and
// refuse temporaries). This is safe because the store holds its native
// records and their bytes in place, unchanged in their texts, for as long as
// the common list has a source: the record set gives the list its source
// only after a load has finished and clears it before its stores. A common
// record is built on demand from its native record and lives in the list
// until a record at another index is asked for (see CommRecordMgr), so its
// views never outlive what they refer to. Every kind follows this pattern;
// small numbers and short fixed fields are copied.
struct CommRecord {
    static constexpr std::uint32_t kSourceClassic = 1;
    static constexpr std::uint32_t kSourceExtended = 2;
    static constexpr std::uint32_t kSourceDatabase = 16;
    static constexpr std::uint32_t kSourceHandheld = 32;

    // The databases' texts are UTF-8 (a handheld backup's are converted on
    // load); the record files' are Windows-1252.
    static bool HoldsUtf8(std::uint32_t source) { return source == kSourceDatabase || source == kSourceHandheld; }

    std::uint32_t nSource = 0;
    std::uint32_t nId = 0;

    virtual ~CommRecord() = default;
};

// One row of a kind's field table.
struct CommFieldInfo {
    std::uint32_t key = 0;
    std::string name;
    std::uint32_t size = 0;
};

}  // namespace lazrine::misc
