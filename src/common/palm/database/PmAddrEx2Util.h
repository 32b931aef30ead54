#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/palm/PmDataMgr.h"
#include "common/palm/database/PmAddrEx2Rec.h"
#include "common/palm/database/PmDbStore.h"

namespace lazrine::palm {

using PmAddrEx2DataMgr = PmDataMgr<PmAddrEx2Rec>;

// The address database of Palm Desktop 6 ("address\Address.mdb", table
// "Main", the 95 columns of PmAddrEx2Rec::Columns()). A contact's row is
// found again by its Record ID and the first and last name it was loaded
// with (NULL equal to the empty text, quotes and any characters compared as
// they are) before its Status cell is written (see PmDbStore).
class PmAddrEx2Util : public PmDbStore<PmAddrEx2Util, PmAddrEx2Rec> {
public:
    static constexpr std::size_t kColumnCount = PmAddrEx2Rec::kColumnCount;
    using PmDbStore::PmDbStore;

    static const PmDbTable& Table();
    static void ReadRow(PmValues& values, PmAddrEx2Rec& rec);
    static std::vector<std::string> KeyTexts(const PmAddrEx2Rec& rec) {
        return {rec.Text(PmAddrEx2Rec::kFirstName), rec.Text(PmAddrEx2Rec::kLastName)};
    }
    // A contact holds its columns by kind, not as members.
    static std::uint32_t RecordIdOf(const PmAddrEx2Rec& rec) { return rec.RecordId(); }
    static std::uint32_t StatusOf(const PmAddrEx2Rec& rec) { return rec.Status(); }
    static void SetStatusOf(PmAddrEx2Rec& rec, std::uint32_t status) {
        rec.Number(PmAddrEx2Rec::kStatus) = static_cast<std::int32_t>(status);
    }
    static std::int32_t CategoryIdOf(const PmAddrEx2Rec& rec) { return rec.Number(PmAddrEx2Rec::kCategory); }

    // One value into the member of column `index`; false when it does not
    // convert (the member is unchanged).
    static bool ValueToField(const PmVariant& value, std::size_t index, PmAddrEx2Rec& rec);
    // The member of column `index` as the value written to it.
    static bool FieldToValue(const PmAddrEx2Rec& rec, std::size_t index, PmVariant& value);
    // Every column marked compared is equal (texts byte for byte).
    static bool SameRecord(const PmAddrEx2Rec& a, const PmAddrEx2Rec& b);
};

}  // namespace lazrine::palm
