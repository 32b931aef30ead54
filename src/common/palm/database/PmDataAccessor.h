#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "common/palm/database/PmSqlBuilder.h"
#include "common/palm/database/PmVariant.h"
#include "platform/IoError.h"

namespace lazrine::palm {

// What the database stores see of a database: statements built as text from
// column names and values, rows handed back as value lists.
//
// Every row operation either returns a complete value list or false and no
// list. LastError() is empty after an operation that found no (further) row
// and names the reason when the engine failed, so that callers can tell
// "no such row" from "the statement could not run".
class PmDataAccessor {
public:
    virtual ~PmDataAccessor() = default;

    std::string MakeInfoSql(std::string_view tail, PmSqlKind kind, std::span<const std::string> names,
                            std::span<const PmVariant> values) const {
        return BuildSql("Information", tail, kind, names, values);
    }
    std::string MakeCategorySql(std::string_view tail, PmSqlKind kind, std::span<const std::string> names,
                                std::span<const PmVariant> values) const {
        return BuildSql("Category", tail, kind, names, values);
    }
    std::string MakeMainSql(std::string_view tail, PmSqlKind kind, std::span<const std::string> names,
                            std::span<const PmVariant> values) const {
        return BuildSql("Main", tail, kind, names, values);
    }

    // Every row of "SELECT names FROM table", in table order, handed to `row`
    // as the engine reads it, so that only one row's values are held at a
    // time; `row` may take (move from) the values and returns false to stop.
    // True when every row (or every row up to the stop) was handed over;
    // false with LastError() set when the statement could not run or the
    // engine failed part-way: the rows handed over then are not the table.
    virtual bool SelectTable(std::string_view /*table*/, std::span<const std::string> /*names*/,
                             const std::function<bool(PmValues&)>& /*row*/) {
        m_szLastError = "no database engine";
        return false;
    }
    // The first row `sql` selects; the rest of its result stays in the
    // kind's query (see PmMDBAccessor::GetQuery).
    virtual bool QueryFirstRow(std::string_view /*sql*/, PmValues& /*values*/) { return false; }
    // Runs a statement, keeping its result when `open`. False when the
    // engine refused or failed it (LastError says why).
    virtual bool ExecuteSql(std::string_view /*sql*/, bool /*open*/) { return false; }

    const std::string& LastError() const { return m_szLastError; }
    // The kind of the failure LastError() names: the file's own when the
    // database could not be opened (in use, missing, ...), else kOther.
    platform::IoFailure LastFailure() const {
        return m_szLastError.empty()                        ? platform::IoFailure::kNone
               : m_nLastFailure == platform::IoFailure::kNone ? platform::IoFailure::kOther
                                                              : m_nLastFailure;
    }

protected:
    std::string m_szLastError;
    platform::IoFailure m_nLastFailure = platform::IoFailure::kNone;
};

}  // namespace lazrine::palm
