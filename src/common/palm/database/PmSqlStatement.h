#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/palm/database/PmSqlBuilder.h"

namespace lazrine::palm {

// A literal of the statement language: an integer, a quoted text (quotes
// inside already undoubled) or a "0x" binary value.
struct PmSqlLiteral {
    enum Kind { kInteger, kText, kBinary };
    Kind nKind = kInteger;
    std::int64_t nValue = 0;
    std::string szText;
};

// "[column] = literal" in a WHERE clause, or "[column]=literal" in a SET list.
struct PmSqlTerm {
    std::string szColumn;
    PmSqlLiteral literal;
};

// One statement of the language the SQL builders produce, parsed:
//   SELECT [c], [c] ... FROM table [WHERE [c] = lit AND ...]
//   UPDATE table SET [c]=lit, ... [WHERE [c] = lit AND ...]
//   INSERT INTO table ([c], ...) VALUES (lit, ...)
//   DELETE FROM table [WHERE ...]
// Keywords are case-insensitive, blanks between tokens are free, names are
// bracketed (a table name may also be bare). Anything else is refused with
// a reason; no input makes the parser read outside the text.
class PmSqlStatement {
public:
    static bool Parse(std::string_view sql, PmSqlStatement& out, std::string& error);

    PmSqlKind Kind() const { return m_nKind; }
    const std::string& Table() const { return m_szTable; }
    // SELECT and INSERT columns.
    const std::vector<std::string>& Columns() const { return m_Columns; }
    // INSERT values, in column order.
    const std::vector<PmSqlLiteral>& Values() const { return m_Values; }
    // UPDATE assignments.
    const std::vector<PmSqlTerm>& Assignments() const { return m_Assignments; }
    const std::vector<PmSqlTerm>& Where() const { return m_Where; }

private:
    PmSqlKind m_nKind = PM_SQL_SELECT;
    std::string m_szTable;
    std::vector<std::string> m_Columns;
    std::vector<PmSqlLiteral> m_Values;
    std::vector<PmSqlTerm> m_Assignments;
    std::vector<PmSqlTerm> m_Where;
};

}  // namespace lazrine::palm
