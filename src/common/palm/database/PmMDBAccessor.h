#pragma once

#include <string>

#include "common/palm/database/PmDataAccessor.h"
#include "common/palm/database/PmDataModule.h"

namespace lazrine::palm {

// The accessor of one database kind on one ".mdb" file, through the
// connection and query of that kind in the data module (not owned).
class PmMDBAccessor : public PmDataAccessor {
public:
    PmMDBAccessor(PmDataModule& module, PmKind kind, const std::string& path);

    // (Re)binds to a kind and a file and opens the kind's connection on it.
    // A missing file leaves the connection as it was. LastError() says why
    // a connection did not open.
    void Connect(PmKind kind, const std::string& path);
    // The kind's connection is open on this accessor's file.
    bool IsConnected();

    bool SelectTable(std::string_view table, std::span<const std::string> names,
                     const std::function<bool(PmValues&)>& row) override;
    bool QueryFirstRow(std::string_view sql, PmValues& values) override;
    bool ExecuteSql(std::string_view sql, bool open) override;

    PmJetEngine* GetConnection() { return m_pDataModule->GetConnection(m_nKind); }
    PmDbQuery* GetQuery() { return m_pDataModule->GetQuery(m_nKind); }
    PmKind Kind() const { return m_nKind; }
    const std::string& Path() const { return m_szPath; }

private:
    // The kind's connection, taken back to this accessor's file when another
    // accessor has moved it; null, with LastError() set, when it cannot be.
    PmJetEngine* Ready();

    PmDataModule* m_pDataModule;
    PmKind m_nKind;
    std::string m_szPath;
};

}  // namespace lazrine::palm
