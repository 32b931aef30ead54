#include "support/PalmPdbBuilder.h"

namespace lazrine::testing {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v >> 16);
    Put16(out, v);
}
void PutFixed(std::vector<std::uint8_t>& out, const std::string& text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
    }
}

}  // namespace

std::vector<std::uint8_t> BuildPdb(const PdbLayout& layout) {
    std::vector<std::uint8_t> appInfo;
    if (layout.withAppInfo) {
        Put16(appInfo, 0);
        for (std::size_t i = 0; i < 16; ++i) {
            PutFixed(appInfo, i < layout.categories.size() ? layout.categories[i] : "", 16);
        }
        for (std::size_t i = 0; i < 16; ++i) {
            appInfo.push_back(static_cast<std::uint8_t>(i < layout.categories.size() ? i : 0));
        }
        appInfo.push_back(static_cast<std::uint8_t>(layout.categories.size()));
        appInfo.push_back(0);
        appInfo.insert(appInfo.end(), layout.appInfoTail.begin(), layout.appInfoTail.end());
    }
    const std::size_t listEnd = 78 + layout.records.size() * 8 + 2;
    std::vector<std::uint8_t> out;
    PutFixed(out, layout.name, 32);
    Put16(out, layout.attributes);
    Put16(out, 0);               // version
    for (int i = 0; i < 4; ++i) {  // created, modified, backed up, modification number
        Put32(out, 0xB5000000u);
    }
    Put32(out, layout.withAppInfo ? static_cast<std::uint32_t>(listEnd) : 0);
    Put32(out, 0);  // sort info
    PutFixed(out, layout.type, 4);
    PutFixed(out, layout.creator, 4);
    Put32(out, 0);  // unique id seed
    Put32(out, layout.nextRecordList);
    Put16(out, static_cast<std::uint32_t>(layout.records.size()));
    std::size_t offset = listEnd + appInfo.size();
    for (const PdbRecordLayout& record : layout.records) {
        Put32(out, static_cast<std::uint32_t>(offset));
        out.push_back(record.attributes);
        out.push_back(static_cast<std::uint8_t>(record.uniqueId >> 16));
        Put16(out, record.uniqueId);
        offset += record.data.size();
    }
    Put16(out, 0);  // the customary gap
    out.insert(out.end(), appInfo.begin(), appInfo.end());
    for (const PdbRecordLayout& record : layout.records) {
        out.insert(out.end(), record.data.begin(), record.data.end());
    }
    return out;
}

std::vector<std::uint8_t> PdbText(const std::string& text) {
    std::vector<std::uint8_t> out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

std::vector<std::uint8_t> PdbTodo(std::uint16_t due, std::uint8_t priority, const std::string& description,
                                  const std::string& note) {
    std::vector<std::uint8_t> out;
    Put16(out, due);
    out.push_back(priority);
    for (const std::string* text : {&description, &note}) {
        const auto bytes = PdbText(*text);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

std::vector<std::uint8_t> PdbContact(std::uint32_t options, const std::vector<std::pair<int, std::string>>& fields) {
    std::uint32_t present = 0;
    for (const auto& [field, text] : fields) {
        present |= 1u << field;
    }
    std::vector<std::uint8_t> out;
    Put32(out, options);
    Put32(out, present);
    out.push_back(0);
    for (int field = 0; field < 19; ++field) {
        for (const auto& [which, text] : fields) {
            if (which == field) {
                const auto bytes = PdbText(text);
                out.insert(out.end(), bytes.begin(), bytes.end());
            }
        }
    }
    return out;
}

}  // namespace lazrine::testing
