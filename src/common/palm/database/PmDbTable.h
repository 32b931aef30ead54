#pragma once

#include <string>
#include <vector>

#include "common/palm/PmKindInfo.h"

namespace lazrine::palm {

// What a database store of one kind reads and checks, as data: the kind
// (which picks the connection, the columns "Main" must have and, from the
// kind table, the database's place in a user's data folder), the
// columns of "Main" it loads in index order, and the text columns whose
// loaded values must still be in a record's row before its Status cell is
// written (compared as PmDBEx2Util::StatusKeyText).
struct PmDbTable {
    PmKind nKind;
    std::vector<std::string> columns;
    std::vector<std::string> keyColumns;
};

}  // namespace lazrine::palm
