#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/palm/PmDataMgr.h"
#include "common/palm/database/PmDbStore.h"
#include "common/palm/database/PmTodoEx2Rec.h"

namespace lazrine::palm {

using PmTodoEx2DataMgr = PmDataMgr<PmTodoEx2Rec>;

// The to-do database of Palm Desktop 6 ("todo\Todolist.mdb", table "Main",
// seventeen columns). A task's row is found again by its Record ID, the
// Description and the Due Date it was loaded with before its Status cell is
// written (see PmDbStore).
class PmTodoEx2Util : public PmDbStore<PmTodoEx2Util, PmTodoEx2Rec> {
public:
    static constexpr std::size_t kColumnCount = 17;
    using PmDbStore::PmDbStore;

    static const PmDbTable& Table();
    static void ReadRow(PmValues& values, PmTodoEx2Rec& rec);
    static std::vector<std::string> KeyTexts(const PmTodoEx2Rec& rec) { return {rec.szDescription, rec.szDueDateText}; }
};

}  // namespace lazrine::palm
