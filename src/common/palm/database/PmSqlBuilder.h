#pragma once

#include <span>
#include <string>
#include <string_view>

#include "common/palm/database/PmVariant.h"

namespace lazrine::palm {

// Kinds of statement the builders make.
enum PmSqlKind : std::int32_t {
    PM_SQL_SELECT = 1,
    PM_SQL_INSERT = 2,
    PM_SQL_DELETE = 3,
    PM_SQL_UPDATE = 4,
};

// The SQL literal of one value: VT_BOOL "1" or "0", VT_I4 its signed decimal,
// VT_BSTR the text between single quotes with every quote inside doubled (so
// no text can end the literal early or add a condition), the empty text for
// any other kind. Nothing is cut: the literal holds the whole text.
std::string PmFormatLiteral(const PmVariant& value);

// "WHERE [n0] = lit0 AND [n1] = lit1 ..."; the empty text when there are no
// names or the two lists differ in length. Never cut.
std::string PmBuildWhere(std::span<const std::string> names, std::span<const PmVariant> values);

// One whole statement on `table` (SELECT of the bracketed names followed by
// the tail, INSERT of names and values with the zero Blob, DELETE with the
// tail, UPDATE assigning the values followed by the tail); the empty text
// without names or for another kind. Values are used by INSERT and UPDATE,
// which need exactly one per name.
std::string BuildSql(std::string_view table, std::string_view tail, PmSqlKind kind,
                     std::span<const std::string> names, std::span<const PmVariant> values);

}  // namespace lazrine::palm
