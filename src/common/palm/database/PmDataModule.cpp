#include "common/palm/database/PmDataModule.h"

namespace lazrine::palm {

PmDataModule& PmDataModule::Main() {
    static PmDataModule dmMain;
    return dmMain;
}

PmJetEngine* PmDataModule::GetConnection(PmKind kind) {
    const auto slot = static_cast<std::size_t>(kind);
    return slot < m_Connections.size() ? &m_Connections[slot] : nullptr;
}

PmDbQuery* PmDataModule::GetQuery(PmKind kind) {
    const auto slot = static_cast<std::size_t>(kind);
    return slot < m_Queries.size() ? &m_Queries[slot] : nullptr;
}

}  // namespace lazrine::palm
