#include "common/export/JsonRecordWriter.h"

#include <nlohmann/json.hpp>

#include "common/export/ExportSource.h"

namespace lazrine::exporting {
namespace {

using Json = nlohmann::ordered_json;

std::string Dump(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

// The length of the well-formed UTF-8 sequence that starts `text` at `at`
// (RFC 3629: no overlong form, no surrogate, nothing above U+10FFFF), 0 when
// none starts there.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - at < length || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// Appends `text` as a JSON string exactly as nlohmann's compact dump writes
// it without forcing ASCII: the two-letter escapes, \u00xx for the other
// control characters, every other character as it is. Text that is not
// well-formed UTF-8 is rare and left to nlohmann itself, whose replacement
// of the bad bytes this does not repeat.
void AppendString(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.push_back('"');
    // Characters written as they are go out in runs.
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = Utf8SequenceAt(text, i);
            if (length == 0) {
                out.resize(start);
                out += Dump(Json(std::string(text)));
                return;
            }
            i += length;
            continue;
        }
        if (c >= 0x20 && c != '"' && c != '\\') {
            ++i;
            continue;
        }
        out.append(text.data() + run, i - run);
        run = i + 1;
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default: {
                static constexpr char kHex[] = "0123456789abcdef";
                out += "\\u00";
                out.push_back(kHex[c >> 4]);
                out.push_back(kHex[c & 0x0F]);
                break;
            }
        }
        ++i;
    }
    out.append(text.data() + run, text.size() - run);
    out.push_back('"');
}

}  // namespace

std::string JsonRecordWriter::CellText(const palm::PmRecordSet& set, std::size_t i, std::uint32_t key) {
    return ExportSource::Utf8Of(set.CommonAt(i).nSource, set.FieldText(i, key, kCellBuffer));
}

std::vector<JsonRecordWriter::Member> JsonRecordWriter::Members(
    const std::vector<std::pair<std::string, std::uint32_t>>& named) {
    // As an ordered object takes them: a name given again keeps the place it
    // had and takes the later value.
    std::vector<Member> members;
    for (const auto& [name, key] : named) {
        std::string quoted;
        AppendString(quoted, name);
        bool repeated = false;
        for (Member& member : members) {
            if (member.szName == quoted) {
                member.nKey = key;
                repeated = true;
                break;
            }
        }
        if (!repeated) {
            members.push_back({std::move(quoted), key});
        }
    }
    return members;
}

bool JsonRecordWriter::Begin(const std::string& file, const std::string& user) {
    Json head;
    head["kind"] = m_set.Kind().szName;
    head["store"] = palm::PmStoreKindName(m_set.LoadedKind());
    head["file"] = file;
    if (!user.empty()) {
        head["user"] = user;
    }
    std::string text = Dump(head);
    text.pop_back();  // the closing brace: the records follow
    text += ",\"records\":[";
    m_bFirst = true;
    std::vector<std::pair<std::string, std::uint32_t>> named;
    for (const auto& column : m_set.Kind().columns) {
        named.emplace_back(column.caption, column.key);
    }
    m_Columns = Members(named);
    named.clear();
    for (const auto& row : m_set.FieldRows()) {
        named.emplace_back(row.name, row.key);
    }
    m_Fields = Members(named);
    return m_sink.Write(text);
}

bool JsonRecordWriter::Write(const palm::PmRecordSet& set, std::size_t i, const std::string* source) {
    const auto& rec = set.CommonAt(i);
    std::string& out = m_Buffer;
    out.clear();
    if (!m_bFirst) {
        out.push_back(',');
    }
    out += "{\"index\":";
    out += std::to_string(i);
    out += ",\"id\":";
    out += std::to_string(rec.nId);
    out += ",\"status\":";
    out += std::to_string(set.StatusAt(i));
    out += set.IsDeletedAt(i) ? ",\"deleted\":true" : ",\"deleted\":false";
    out += ",\"columns\":{";
    for (std::size_t c = 0; c < m_Columns.size(); ++c) {
        if (c > 0) {
            out.push_back(',');
        }
        out += m_Columns[c].szName;
        out.push_back(':');
        AppendString(out, CellText(set, i, m_Columns[c].nKey));
    }
    out += "},\"fields\":{";
    for (std::size_t f = 0; f < m_Fields.size(); ++f) {
        if (f > 0) {
            out.push_back(',');
        }
        out += m_Fields[f].szName;
        out.push_back(':');
        AppendString(out, ExportSource::Utf8Of(rec.nSource, set.WholeFieldText(i, m_Fields[f].nKey)));
    }
    out.push_back('}');
    if (source != nullptr) {
        out += ",\"source\":";
        AppendString(out, *source);
    }
    out.push_back('}');
    m_bFirst = false;
    return m_sink.Write(out);
}

bool JsonRecordWriter::End(const std::string& members) { return m_sink.Write("]" + members + "}\n"); }

}  // namespace lazrine::exporting
