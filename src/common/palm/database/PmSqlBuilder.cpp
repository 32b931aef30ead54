#include "common/palm/database/PmSqlBuilder.h"

namespace lazrine::palm {

std::string PmFormatLiteral(const PmVariant& value) {
    switch (value.vt) {
        case VT_BOOL:
            return value.boolVal != 0 ? "1" : "0";
        case VT_I4:
            return std::to_string(value.lVal);
        case VT_BSTR: {
            std::string out;
            out.reserve(value.bstrVal.size() + 2);
            out.push_back('\'');
            if (!value.bBstrNull) {
                for (const char c : value.bstrVal) {
                    out.push_back(c);
                    if (c == '\'') {
                        out.push_back('\'');
                    }
                }
            }
            out.push_back('\'');
            return out;
        }
        default:
            return {};
    }
}

std::string PmBuildWhere(std::span<const std::string> names, std::span<const PmVariant> values) {
    if (names.empty() || names.size() != values.size()) {
        return {};
    }
    std::string out = "WHERE ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            out += " AND ";
        }
        out += "[" + names[i] + "] = " + PmFormatLiteral(values[i]);
    }
    return out;
}

std::string BuildSql(std::string_view table, std::string_view tail, PmSqlKind kind,
                     std::span<const std::string> names, std::span<const PmVariant> values) {
    if (names.empty()) {
        return {};
    }
    const bool needValues = kind == PM_SQL_INSERT || kind == PM_SQL_UPDATE;
    if (needValues && values.size() != names.size()) {
        return {};
    }
    std::string out;
    switch (kind) {
        case PM_SQL_SELECT:
            out = "SELECT ";
            for (std::size_t i = 0; i < names.size(); ++i) {
                out += (i > 0 ? ", [" : "[") + names[i] + "]";
            }
            out += " FROM ";
            out += table;
            out += " ";
            out += tail;
            return out;
        case PM_SQL_INSERT: {
            // Only the address table has more than 30 columns; its rows carry
            // three more binary columns.
            const bool address = names.size() > 30;
            out = "INSERT INTO ";
            out += table;
            out += " (";
            for (std::size_t i = 0; i < names.size(); ++i) {
                out += (i > 0 ? ", [" : "[") + names[i] + "]";
            }
            if (address) {
                out += ", [Photo], [VoiceTag], [Ringtone]";
            }
            out += ", [Blob]) VALUES (";
            for (std::size_t i = 0; i < values.size(); ++i) {
                out += (i > 0 ? ", " : "") + PmFormatLiteral(values[i]);
            }
            if (address) {
                out += ", 0x00000000, 0x00000000, 0x00000000";
            }
            out += ", 0x00000000)";
            return out;
        }
        case PM_SQL_DELETE:
            out = "DELETE FROM ";
            out += table;
            out += " ";
            out += tail;
            return out;
        case PM_SQL_UPDATE:
            out = "UPDATE ";
            out += table;
            out += " SET ";
            for (std::size_t i = 0; i < names.size(); ++i) {
                out += (i > 0 ? ", [" : "[") + names[i] + "]=" + PmFormatLiteral(values[i]);
            }
            if (!tail.empty()) {
                out += " ";
                out += tail;
            }
            return out;
        default:
            return {};
    }
}

}  // namespace lazrine::palm
