#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/palm/PmDataMgr.h"
#include "common/palm/database/PmDateEx2Rec.h"
#include "common/palm/database/PmDbStore.h"

namespace lazrine::palm {

using PmDateEx2DataMgr = PmDataMgr<PmDateEx2Rec>;

// The date book database of Palm Desktop 6 ("datebook\DateBook.mdb", table
// "Main", sixteen columns). An event's row is found again by its Record ID,
// the Start Time, End Time and Summary it was loaded with before its Status
// cell is written (see PmDbStore).
class PmDateEx2Util : public PmDbStore<PmDateEx2Util, PmDateEx2Rec> {
public:
    static constexpr std::size_t kColumnCount = 16;
    using PmDbStore::PmDbStore;

    static const PmDbTable& Table();
    static void ReadRow(PmValues& values, PmDateEx2Rec& rec);
    static std::vector<std::string> KeyTexts(const PmDateEx2Rec& rec) {
        return {rec.szStartTime, rec.szEndTime, rec.szSummary};
    }
};

}  // namespace lazrine::palm
