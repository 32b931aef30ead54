#pragma once

#include <string>
#include <vector>

#include "common/palm/database/PmDataModule.h"

namespace lazrine::palm {

// What a database store of one kind reads and checks, as data: the kind
// (which picks the connection and the columns "Main" must have), the
// columns of "Main" it loads in index order, and the text columns whose
// loaded values must still be in a record's row before its Status cell is
// written (compared as PmDBEx2Util::StatusKeyText).
struct PmDbTable {
    PmDbKind nKind;
    const char* szUserFolder;  // in a user's data folder: "MemoPad\"
    const char* szUserFile;    // "MemoPad.mdb"
    std::vector<std::string> columns;
    std::vector<std::string> keyColumns;
};

}  // namespace lazrine::palm
