#include "common/palm/database/PmSqlStatement.h"

#include <cctype>
#include <limits>

namespace lazrine::palm {
namespace {

// A cursor over the statement text; every read is bounds-checked.
class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    void SkipBlanks() {
        while (m_pos < m_text.size() &&
               (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\r' || m_text[m_pos] == '\n')) {
            ++m_pos;
        }
    }
    bool AtEnd() {
        SkipBlanks();
        return m_pos >= m_text.size();
    }
    // A keyword, matched case-insensitively and not followed by a name character.
    bool Keyword(std::string_view word) {
        SkipBlanks();
        if (m_text.size() - m_pos < word.size()) {
            return false;
        }
        for (std::size_t i = 0; i < word.size(); ++i) {
            char c = m_text[m_pos + i];
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
            if (c != word[i]) {
                return false;
            }
        }
        const std::size_t end = m_pos + word.size();
        if (end < m_text.size() && IsNameChar(m_text[end])) {
            return false;
        }
        m_pos = end;
        return true;
    }
    bool Symbol(char c) {
        SkipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool BracketedName(std::string& name) {
        SkipBlanks();
        if (m_pos >= m_text.size() || m_text[m_pos] != '[') {
            return false;
        }
        const std::size_t close = m_text.find(']', m_pos + 1);
        if (close == std::string_view::npos || close == m_pos + 1) {
            return false;
        }
        name.assign(m_text.substr(m_pos + 1, close - m_pos - 1));
        m_pos = close + 1;
        return true;
    }
    bool TableName(std::string& name) {
        if (BracketedName(name)) {
            return true;
        }
        SkipBlanks();
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && IsNameChar(m_text[m_pos])) {
            ++m_pos;
        }
        if (m_pos == start) {
            return false;
        }
        name.assign(m_text.substr(start, m_pos - start));
        return true;
    }
    bool Literal(PmSqlLiteral& lit, std::string& error) {
        SkipBlanks();
        if (m_pos >= m_text.size()) {
            error = "a value is missing at the end of the statement";
            return false;
        }
        const char c = m_text[m_pos];
        if (c == '\'') {
            return TextLiteral(lit, error);
        }
        if (c == '0' && m_pos + 1 < m_text.size() && (m_text[m_pos + 1] == 'x' || m_text[m_pos + 1] == 'X')) {
            return BinaryLiteral(lit, error);
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            return IntegerLiteral(lit, error);
        }
        error = "a value was expected at position " + std::to_string(m_pos);
        return false;
    }
    std::size_t Pos() const { return m_pos; }

private:
    static bool IsNameChar(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    }
    bool TextLiteral(PmSqlLiteral& lit, std::string& error) {
        lit = PmSqlLiteral{};
        lit.nKind = PmSqlLiteral::kText;
        std::size_t i = m_pos + 1;
        while (true) {
            if (i >= m_text.size()) {
                error = "a text value is not closed";
                return false;
            }
            if (m_text[i] == '\'') {
                if (i + 1 < m_text.size() && m_text[i + 1] == '\'') {
                    lit.szText.push_back('\'');
                    i += 2;
                    continue;
                }
                m_pos = i + 1;
                return true;
            }
            lit.szText.push_back(m_text[i]);
            ++i;
        }
    }
    bool IntegerLiteral(PmSqlLiteral& lit, std::string& error) {
        lit = PmSqlLiteral{};
        lit.nKind = PmSqlLiteral::kInteger;
        std::size_t i = m_pos;
        const bool negative = m_text[i] == '-';
        if (negative) {
            ++i;
        }
        const std::size_t digits = i;
        std::int64_t acc = 0;
        for (; i < m_text.size() && m_text[i] >= '0' && m_text[i] <= '9'; ++i) {
            acc = acc * 10 + (m_text[i] - '0');
            if (acc > static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max())) {
                error = "a number is out of range";
                return false;
            }
        }
        if (i == digits || (i < m_text.size() && IsNameChar(m_text[i]))) {
            error = "a malformed number at position " + std::to_string(m_pos);
            return false;
        }
        lit.nValue = negative ? -acc : acc;
        m_pos = i;
        return true;
    }
    bool BinaryLiteral(PmSqlLiteral& lit, std::string& error) {
        lit = PmSqlLiteral{};
        lit.nKind = PmSqlLiteral::kBinary;
        std::size_t i = m_pos + 2;
        const std::size_t start = i;
        while (i < m_text.size() && std::isxdigit(static_cast<unsigned char>(m_text[i])) != 0) {
            ++i;
        }
        if (i == start || (i - start) % 2 != 0) {
            error = "a malformed binary value";
            return false;
        }
        lit.szText.assign(m_text.substr(start, i - start));
        m_pos = i;
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

// One "[column] = literal" term; `what` names it in the error.
bool ParseTerm(Reader& r, std::vector<PmSqlTerm>& terms, const char* what, std::string& error) {
    PmSqlTerm term;
    if (!r.BracketedName(term.szColumn) || !r.Symbol('=')) {
        error = std::string("a ") + what + " was expected";
        return false;
    }
    if (!r.Literal(term.literal, error)) {
        return false;
    }
    terms.push_back(std::move(term));
    return true;
}

// A bracketed column name appended to `columns`.
bool ParseColumn(Reader& r, std::vector<std::string>& columns, std::string& error) {
    std::string name;
    if (!r.BracketedName(name)) {
        error = "a bracketed column name was expected";
        return false;
    }
    columns.push_back(std::move(name));
    return true;
}

bool ParseWhere(Reader& r, std::vector<PmSqlTerm>& terms, std::string& error) {
    if (!r.Keyword("WHERE")) {
        return true;
    }
    do {
        if (!ParseTerm(r, terms, "condition '[column] = value'", error)) {
            return false;
        }
    } while (r.Keyword("AND"));
    return true;
}

}  // namespace

bool PmSqlStatement::Parse(std::string_view sql, PmSqlStatement& out, std::string& error) {
    out = PmSqlStatement{};
    Reader r(sql);
    if (r.Keyword("SELECT")) {
        out.m_nKind = PM_SQL_SELECT;
        do {
            if (!ParseColumn(r, out.m_Columns, error)) {
                return false;
            }
        } while (r.Symbol(','));
        if (!r.Keyword("FROM") || !r.TableName(out.m_szTable)) {
            error = "FROM and a table name were expected";
            return false;
        }
        if (!ParseWhere(r, out.m_Where, error)) {
            return false;
        }
    } else if (r.Keyword("UPDATE")) {
        out.m_nKind = PM_SQL_UPDATE;
        if (!r.TableName(out.m_szTable) || !r.Keyword("SET")) {
            error = "a table name and SET were expected";
            return false;
        }
        do {
            if (!ParseTerm(r, out.m_Assignments, "assignment '[column]=value'", error)) {
                return false;
            }
        } while (r.Symbol(','));
        if (!ParseWhere(r, out.m_Where, error)) {
            return false;
        }
    } else if (r.Keyword("INSERT")) {
        out.m_nKind = PM_SQL_INSERT;
        if (!r.Keyword("INTO") || !r.TableName(out.m_szTable) || !r.Symbol('(')) {
            error = "INTO, a table name and a column list were expected";
            return false;
        }
        do {
            if (!ParseColumn(r, out.m_Columns, error)) {
                return false;
            }
        } while (r.Symbol(','));
        if (!r.Symbol(')') || !r.Keyword("VALUES") || !r.Symbol('(')) {
            error = "VALUES and a value list were expected";
            return false;
        }
        do {
            PmSqlLiteral lit;
            if (!r.Literal(lit, error)) {
                return false;
            }
            out.m_Values.push_back(std::move(lit));
        } while (r.Symbol(','));
        if (!r.Symbol(')')) {
            error = "the value list is not closed";
            return false;
        }
        if (out.m_Values.size() != out.m_Columns.size()) {
            error = "the number of values differs from the number of columns";
            return false;
        }
    } else if (r.Keyword("DELETE")) {
        out.m_nKind = PM_SQL_DELETE;
        if (!r.Keyword("FROM") || !r.TableName(out.m_szTable)) {
            error = "FROM and a table name were expected";
            return false;
        }
        if (!ParseWhere(r, out.m_Where, error)) {
            return false;
        }
    } else {
        error = "the statement is not a SELECT, UPDATE, INSERT or DELETE";
        return false;
    }
    if (!r.AtEnd()) {
        error = "unexpected text at position " + std::to_string(r.Pos());
        return false;
    }
    return true;
}

}  // namespace lazrine::palm
