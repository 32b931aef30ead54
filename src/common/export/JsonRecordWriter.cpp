#include "common/export/JsonRecordWriter.h"

#include <nlohmann/json.hpp>

#include "common/export/ExportSource.h"

namespace lazrine::exporting {
namespace {

using Json = nlohmann::ordered_json;

std::string Dump(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace

std::string JsonRecordWriter::CellText(const palm::PmRecordSet& set, std::size_t i, std::uint32_t key) {
    return ExportSource::Utf8Of(set.CommonAt(i).nSource, set.FieldText(i, key, kCellBuffer));
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
    return m_sink.Write(text);
}

bool JsonRecordWriter::Write(std::size_t i) {
    const auto& rec = m_set.CommonAt(i);
    Json item;
    item["index"] = i;
    item["id"] = rec.nId;
    item["status"] = m_set.StatusAt(i);
    item["deleted"] = m_set.IsDeletedAt(i);
    Json columns = Json::object();
    for (const auto& column : m_set.Kind().columns) {
        columns[column.caption] = CellText(m_set, i, column.key);
    }
    item["columns"] = std::move(columns);
    Json fields = Json::object();
    for (const auto& row : m_set.FieldRows()) {
        fields[row.name] = ExportSource::Utf8Of(rec.nSource, m_set.WholeFieldText(i, row.key));
    }
    item["fields"] = std::move(fields);
    const bool ok = m_sink.Write(m_bFirst ? "" : ",") && m_sink.Write(Dump(item));
    m_bFirst = false;
    return ok;
}

bool JsonRecordWriter::End() { return m_sink.Write("]}\n"); }

}  // namespace lazrine::exporting
