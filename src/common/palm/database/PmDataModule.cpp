#include "common/palm/database/PmDataModule.h"

namespace lazrine::palm {

PmDataModule& PmDataModule::Main() {
    static PmDataModule dmMain;
    return dmMain;
}

int PmDataModule::Slot(PmDbKind kind) {
    return kind >= PM_DB_ADDRESS && kind <= PM_DB_MEMO ? static_cast<int>(kind) - 1 : -1;
}

PmJetEngine* PmDataModule::GetConnection(PmDbKind kind) {
    const int slot = Slot(kind);
    return slot < 0 ? nullptr : &m_Connections[static_cast<std::size_t>(slot)];
}

PmDbQuery* PmDataModule::GetQuery(PmDbKind kind) {
    const int slot = Slot(kind);
    return slot < 0 ? nullptr : &m_Queries[static_cast<std::size_t>(slot)];
}

}  // namespace lazrine::palm
