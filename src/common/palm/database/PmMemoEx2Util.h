#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/palm/PmDataMgr.h"
#include "common/palm/database/PmDbStore.h"
#include "common/palm/database/PmMemoEx2Rec.h"

namespace lazrine::palm {

using PmMemoEx2DataMgr = PmDataMgr<PmMemoEx2Rec>;

// The memo database of Palm Desktop 6 ("MemoPad\MemoPad.mdb", table "Main",
// six columns). A record's row is found again by its Record ID and the
// "Note" it was loaded with before its Status cell is written; no other
// cell is written, whatever it holds (see PmDbStore).
class PmMemoEx2Util : public PmDbStore<PmMemoEx2Util, PmMemoEx2Rec> {
public:
    static constexpr std::size_t kColumnCount = 6;
    using PmDbStore::PmDbStore;

    static const PmDbTable& Table();
    static void ReadRow(PmValues& values, PmMemoEx2Rec& rec);
    static std::vector<std::string> KeyTexts(const PmMemoEx2Rec& rec) { return {rec.szNote}; }

    // One value of a looked-up row into its member; a value that does not
    // convert leaves the member unchanged.
    static bool ValueToField(const PmVariant& value, std::size_t index, PmMemoEx2Rec& rec);
    // One member as the value written to its column.
    static bool FieldToValue(const PmMemoEx2Rec& rec, std::size_t index, PmVariant& value);
    // Record ID, Status, Category id, Private and Note equal (Placement is
    // not compared).
    static bool SameRecord(const PmMemoEx2Rec& a, const PmMemoEx2Rec& b);
    // The indexes of the columns in which `rec` differs from its row `found`.
    static std::vector<std::size_t> ListChanges(const PmMemoEx2Rec& rec, const PmMemoEx2Rec& found);
};

}  // namespace lazrine::palm
