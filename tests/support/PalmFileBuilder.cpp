#include "support/PalmFileBuilder.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace lazrine::testing {

PalmFileBuilder& PalmFileBuilder::U8(std::uint8_t v) {
    m_bytes.push_back(v);
    return *this;
}

PalmFileBuilder& PalmFileBuilder::U16(std::uint16_t v) {
    m_bytes.push_back(static_cast<std::uint8_t>(v));
    m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    return *this;
}

PalmFileBuilder& PalmFileBuilder::U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    return *this;
}

PalmFileBuilder& PalmFileBuilder::Raw(const std::vector<std::uint8_t>& bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

PalmFileBuilder& PalmFileBuilder::Raw(const std::string& bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

PalmFileBuilder& PalmFileBuilder::CString(const std::string& text) {
    if (text.size() < 255) {
        U8(static_cast<std::uint8_t>(text.size()));
    } else {
        U8(0xFF).U16(static_cast<std::uint16_t>(text.size()));
    }
    return Raw(text);
}

PalmFileBuilder& PalmFileBuilder::IntField(std::uint32_t value, std::uint32_t tag) { return U32(tag).U32(value); }

PalmFileBuilder& PalmFileBuilder::StringField(const std::string& text, std::uint32_t attr) {
    return U32(5).U32(attr).CString(text);
}

namespace {

void Categories(PalmFileBuilder& b, const MemoFileSpec& spec) {
    b.U32(spec.nextCategoryId).U32(static_cast<std::uint32_t>(spec.categories.size()));
    for (const auto& c : spec.categories) {
        b.U32(c.index).U32(c.id).U32(c.dirty).CString(c.name).CString(c.second);
    }
}

void Schema(PalmFileBuilder& b, std::uint32_t fieldsPerRecord, std::uint32_t statusPos, std::uint32_t placementPos,
            const std::vector<std::uint16_t>& types) {
    b.U32(64).U32(fieldsPerRecord).U32(0).U32(statusPos).U32(placementPos);
    b.U16(static_cast<std::uint16_t>(types.size()));
    for (const auto t : types) {
        b.U16(t);
    }
}

void Blob(PalmFileBuilder& b, const BlobSpec& blob) {
    b.U32(blob.tag).U32(blob.form);
    if (blob.form == 0) {
        return;
    }
    if (blob.form <= 3) {
        b.U32(blob.a).U32(blob.b).U32(static_cast<std::uint32_t>(blob.data.size()));
    }
    b.Raw(blob.data);
}

}  // namespace

MemoSpec MakeMemo(std::uint32_t id, std::uint32_t status, std::string text) {
    MemoSpec m;
    m.id = id;
    m.status = status;
    m.text = std::move(text);
    return m;
}

std::vector<std::uint8_t> BuildExtendedMemoFile(const MemoFileSpec& spec) {
    PalmFileBuilder b;
    for (const auto v : spec.signatureLead) {
        b.U8(v);
    }
    b.Raw(std::string("PalmSG Database00RV"));
    b.U32(spec.versionTag != 0 ? spec.versionTag : 0x4D500200u);
    for (const auto v : spec.headerBlock) {
        b.U8(v);
    }
    b.CString(spec.recordedName);
    for (const auto v : spec.nameBlock) {
        b.U8(v);
    }
    Categories(b, spec);
    const std::vector<std::uint16_t> types =
        spec.fieldTypes.empty() ? std::vector<std::uint16_t>{1, 1, 1, 1, 1, 1, 6, 64, 65, 66, 67, 5, 5, 5}
                                : spec.fieldTypes;
    const std::uint32_t perRecord = spec.fieldsPerRecord.value_or(14);
    Schema(b, perRecord, 2, 4, types);
    b.U32(spec.overrideEntryCount ? spec.entryCount : static_cast<std::uint32_t>(spec.memos.size() * perRecord));
    for (const auto& m : spec.memos) {
        b.IntField(m.id, m.intTag).IntField(m.extraA, m.intTag).IntField(m.status, m.intTag);
        b.IntField(m.extraB, m.intTag).IntField(m.placement, m.intTag).IntField(m.category, m.intTag);
        b.IntField(m.priv, m.intTag);
        for (const auto& blob : m.blobs) {
            Blob(b, blob);
        }
        b.StringField(m.extraTextA).StringField(m.extraTextB).StringField(m.text);
        b.Raw(m.extraFields);
    }
    b.Raw(spec.trailing);
    return b.Bytes();
}

std::vector<std::uint8_t> BuildClassicMemoFile(const MemoFileSpec& spec) {
    PalmFileBuilder b;
    b.U32(spec.versionTag != 0 ? spec.versionTag : 0x4D500100u);
    b.CString(spec.recordedName);
    b.CString(spec.headerText);
    Categories(b, spec);
    const std::vector<std::uint16_t> types =
        spec.fieldTypes.empty() ? std::vector<std::uint16_t>{1, 1, 1, 5, 6, 1} : spec.fieldTypes;
    const std::uint32_t perRecord = spec.fieldsPerRecord.value_or(6);
    Schema(b, perRecord, 1, 2, types);
    b.U32(spec.overrideEntryCount ? spec.entryCount : static_cast<std::uint32_t>(spec.memos.size() * perRecord));
    for (const auto& m : spec.memos) {
        b.IntField(m.id, m.intTag).IntField(m.status, m.intTag).IntField(m.placement, m.intTag);
        b.StringField(m.text).IntField(m.priv, 6).IntField(m.category, m.intTag);
        b.Raw(m.extraFields);
    }
    b.Raw(spec.trailing);
    return b.Bytes();
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace lazrine::testing
