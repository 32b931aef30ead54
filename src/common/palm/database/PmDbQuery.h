#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/palm/database/PmJetEngine.h"
#include "common/palm/database/PmVariant.h"

namespace lazrine::palm {

// The query of one database kind: the statement last run on its connection
// and, for a SELECT, its result with a current row.
class PmDbQuery {
public:
    // Runs a SELECT and keeps its rows, positioned on the first.
    bool Open(PmJetEngine& connection, std::string_view sql, std::string& error);
    // Runs a statement without a result.
    bool Execute(PmJetEngine& connection, std::string_view sql, std::string& error);
    void Close();

    bool IsOpen() const { return m_bOpen; }
    // After the last row (or without a result).
    bool Eof() const { return !m_bOpen || m_nCursor >= m_Rows.size(); }
    void Next() {
        if (!Eof()) {
            ++m_nCursor;
        }
    }
    const PmValues& Row() const { return m_Rows.at(m_nCursor); }
    // Hands the current row's values over to the caller, leaving the row
    // empty: a result read row by row is then held once, not once in the
    // result and again in what the rows are read into.
    PmValues TakeRow() { return std::move(m_Rows.at(m_nCursor)); }
    const std::string& Sql() const { return m_szSql; }
    // Rows the last statement without a result matched.
    std::size_t ChangedRows() const { return m_nChanged; }

private:
    std::string m_szSql;
    std::vector<PmValues> m_Rows;
    std::size_t m_nCursor = 0;
    bool m_bOpen = false;
    std::size_t m_nChanged = 0;
};

}  // namespace lazrine::palm
