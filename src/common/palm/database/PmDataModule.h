#pragma once

#include <array>

#include "common/palm/PmKindInfo.h"
#include "common/palm/database/PmDbQuery.h"
#include "common/palm/database/PmJetEngine.h"

namespace lazrine::palm {

// The data module: one connection and one query per kind of data, alive
// for the whole run. All accessors of one kind share them, so at most one
// database of each kind is open at a time and a row-by-row read must finish
// before another statement of the same kind runs. Used from one thread.
class PmDataModule {
public:
    // The program's data module.
    static PmDataModule& Main();

    // The kind's connection and query; none for a value that names no kind.
    PmJetEngine* GetConnection(PmKind kind);
    PmDbQuery* GetQuery(PmKind kind);

private:
    std::array<PmJetEngine, kPmKindCount> m_Connections;
    std::array<PmDbQuery, kPmKindCount> m_Queries;
};

}  // namespace lazrine::palm
