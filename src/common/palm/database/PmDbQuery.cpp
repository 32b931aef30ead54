#include "common/palm/database/PmDbQuery.h"

namespace lazrine::palm {

bool PmDbQuery::Open(PmJetEngine& connection, std::string_view sql, std::string& error) {
    Close();
    m_szSql.assign(sql);
    if (!connection.Query(sql, m_Rows, error)) {
        m_Rows.clear();
        return false;
    }
    m_bOpen = true;
    return true;
}

bool PmDbQuery::Execute(PmJetEngine& connection, std::string_view sql, std::string& error) {
    Close();
    m_szSql.assign(sql);
    return connection.Execute(sql, m_nChanged, error);
}

void PmDbQuery::Close() {
    m_bOpen = false;
    m_Rows.clear();
    m_nCursor = 0;
    m_nChanged = 0;
    m_szSql.clear();
}

}  // namespace lazrine::palm
