#pragma once

#include <array>
#include <cstdint>

#include "common/palm/database/PmDbQuery.h"
#include "common/palm/database/PmJetEngine.h"

namespace lazrine::palm {

// Which kind of Palm data a database holds; picks its connection and query.
enum PmDbKind : std::int32_t {
    PM_DB_ADDRESS = 1,
    PM_DB_DATEBOOK = 2,
    PM_DB_TODO = 3,
    PM_DB_MEMO = 4,
};

// The data module: one connection and one query per kind of database, alive
// for the whole run. All accessors of one kind share them, so at most one
// database of each kind is open at a time and a row-by-row read must finish
// before another statement of the same kind runs. Used from one thread.
class PmDataModule {
public:
    // The program's data module.
    static PmDataModule& Main();

    // None for any other kind.
    PmJetEngine* GetConnection(PmDbKind kind);
    PmDbQuery* GetQuery(PmDbKind kind);

private:
    static int Slot(PmDbKind kind);

    std::array<PmJetEngine, 4> m_Connections;
    std::array<PmDbQuery, 4> m_Queries;
};

}  // namespace lazrine::palm
