#include "common/palm/database/PmMDBAccessor.h"

#include "platform/FileIo.h"

namespace lazrine::palm {

PmMDBAccessor::PmMDBAccessor(PmDataModule& module, PmKind kind, const std::string& path)
    : m_pDataModule(&module), m_nKind(kind) {
    Connect(kind, path);
}

void PmMDBAccessor::Connect(PmKind kind, const std::string& path) {
    m_nKind = kind;
    m_szPath = path;
    m_szLastError.clear();
    m_nLastFailure = platform::IoFailure::kNone;
    if (path.empty() || !platform::FileIo::Instance().Exists(path)) {
        m_szLastError = "no file '" + path + "'";
        m_nLastFailure = platform::IoFailure::kMissing;
        return;
    }
    PmJetEngine* connection = GetConnection();
    if (connection == nullptr) {
        m_szLastError = "no connection for this kind of database";
        return;
    }
    if (PmDbQuery* query = GetQuery()) {
        query->Close();
    }
    platform::IoError error;
    connection->Open(path, error);
    m_szLastError = error.szText;
    m_nLastFailure = error.nCode;
}

bool PmMDBAccessor::IsConnected() {
    PmJetEngine* connection = GetConnection();
    return connection != nullptr && connection->IsOpen() && connection->Path() == m_szPath;
}

bool PmMDBAccessor::SelectTable(std::string_view table, std::span<const std::string> names,
                                const std::function<bool(PmValues&)>& row) {
    PmJetEngine* connection = Ready();
    if (connection == nullptr) {
        return false;
    }
    // The rows go straight to `row`; the kind's query keeps no result of it.
    GetQuery()->Close();
    if (!connection->Query(BuildSql(table, "", PM_SQL_SELECT, names, {}), row, m_szLastError)) {
        if (m_szLastError.empty()) {
            m_szLastError = "the database engine failed the statement";
        }
        return false;
    }
    return true;
}

bool PmMDBAccessor::QueryFirstRow(std::string_view sql, PmValues& values) {
    if (sql.empty() || GetQuery() == nullptr) {
        m_szLastError = "no statement or no query";
        return false;
    }
    if (!ExecuteSql(sql, true)) {
        return false;
    }
    PmDbQuery* query = GetQuery();
    if (!query->IsOpen() || query->Eof()) {
        return false;
    }
    values = query->TakeRow();
    return true;
}

PmJetEngine* PmMDBAccessor::Ready() {
    m_szLastError.clear();
    m_nLastFailure = platform::IoFailure::kNone;
    PmDbQuery* query = GetQuery();
    if (query == nullptr || GetConnection() == nullptr) {
        m_szLastError = "no statement or no query";
        return nullptr;
    }
    if (!IsConnected()) {
        // Another accessor of this kind has taken the shared connection to
        // its own file: take it back before running anything.
        Connect(m_nKind, m_szPath);
    }
    if (!IsConnected()) {
        query->Close();
        m_szLastError = "the database '" + m_szPath + "' is not open: " + m_szLastError;
        return nullptr;
    }
    return GetConnection();
}

bool PmMDBAccessor::ExecuteSql(std::string_view sql, bool open) {
    if (sql.empty()) {
        m_szLastError = "no statement or no query";
        m_nLastFailure = platform::IoFailure::kNone;
        return false;
    }
    PmJetEngine* connection = Ready();
    if (connection == nullptr) {
        return false;
    }
    PmDbQuery* query = GetQuery();
    const bool ok = open ? query->Open(*connection, sql, m_szLastError) : query->Execute(*connection, sql, m_szLastError);
    if (!ok && m_szLastError.empty()) {
        m_szLastError = "the database engine failed the statement";
    }
    return ok;
}

}  // namespace lazrine::palm
