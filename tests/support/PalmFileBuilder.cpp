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

PalmFileBuilder& PalmFileBuilder::RepeatField(const RepeatLayout& spec) {
    U32(8).U16(static_cast<std::uint16_t>(spec.exceptions.size()));
    for (const auto date : spec.exceptions) {
        U32(date);
    }
    U16(spec.marker);
    if (spec.marker == 0) {
        return *this;
    }
    if (spec.marker == 0xFFFF) {
        U16(spec.schema).U16(static_cast<std::uint16_t>(spec.className.size())).Raw(spec.className);
    }
    U32(spec.kind).U32(spec.interval).U32(spec.endDate).U32(spec.extra);
    return Raw(spec.values);
}

RepeatLayout MakeRepeat(std::uint32_t kind, std::vector<std::uint32_t> exceptions) {
    static const char* const kNames[] = {"",          "CDayName",    "CWeekly",   "CDayOfMonth",
                                         "CDateOfMonth", "CDateOfYear", "CDayOfYear"};
    RepeatLayout spec;
    spec.exceptions = std::move(exceptions);
    if (kind == 0) {
        return spec;
    }
    spec.marker = 0xFFFF;
    spec.className = kind <= 6 ? kNames[kind] : "CUnknown";
    spec.kind = kind;
    spec.interval = 2;
    spec.endDate = 1300000000;
    spec.extra = 7;
    PalmFileBuilder v;
    switch (kind) {
        case 1:
            v.U32(3);
            break;
        case 2:
            v.U32(1).U8(0x2A);
            break;
        case 3:
            v.U32(2).U32(4);
            break;
        case 4:
            v.U32(15);
            break;
        case 5:
            v.U32(25).U32(12);
            break;
        default:
            break;
    }
    spec.values = v.Bytes();
    return spec;
}

namespace {

// Records where the status value of the record about to be written lies: it
// follows the 4-byte tag of its integer field.
PalmFileBuilder& NoteStatus(PalmFileBuilder& b, std::vector<std::size_t>* statusOffsets) {
    if (statusOffsets != nullptr) {
        statusOffsets->push_back(b.Size() + 4);
    }
    return b;
}

void Categories(PalmFileBuilder& b, const PalmFileLayout& spec) {
    b.U32(spec.nextCategoryId).U32(static_cast<std::uint32_t>(spec.categories.size()));
    for (const auto& c : spec.categories) {
        b.U32(c.index).U32(c.id).U32(c.dirty).CString(c.name).CString(c.second);
    }
}

void Schema(PalmFileBuilder& b, std::uint32_t fieldsPerRecord, std::uint32_t statusPos, std::uint32_t placementPos,
            const std::vector<std::uint16_t>& types, std::uint32_t schemaId = 64) {
    b.U32(schemaId).U32(fieldsPerRecord).U32(0).U32(statusPos).U32(placementPos);
    b.U16(static_cast<std::uint16_t>(types.size()));
    for (const auto t : types) {
        b.U16(t);
    }
}

void Blob(PalmFileBuilder& b, const BlobField& blob) {
    b.U32(blob.tag).U32(blob.form);
    if (blob.form == 0) {
        return;
    }
    if (blob.form <= 3) {
        b.U32(blob.a).U32(blob.b).U32(static_cast<std::uint32_t>(blob.data.size()));
    }
    b.Raw(blob.data);
}

// Signature area, version tag, header block, recorded name, name block and
// categories of an extended file.
void ExtendedHead(PalmFileBuilder& b, const PalmFileLayout& spec, std::uint32_t defaultTag) {
    for (const auto v : spec.signatureLead) {
        b.U8(v);
    }
    b.Raw(std::string("PalmSG Database00RV"));
    b.U32(spec.versionTag != 0 ? spec.versionTag : defaultTag);
    for (const auto v : spec.headerBlock) {
        b.U8(v);
    }
    b.CString(spec.recordedName);
    for (const auto v : spec.nameBlock) {
        b.U8(v);
    }
    Categories(b, spec);
}

void ClassicHead(PalmFileBuilder& b, const PalmFileLayout& spec, std::uint32_t defaultTag) {
    b.U32(spec.versionTag != 0 ? spec.versionTag : defaultTag);
    b.CString(spec.recordedName);
    b.CString(spec.headerText);
    Categories(b, spec);
}

}  // namespace

MemoRecordLayout MakeMemo(std::uint32_t id, std::uint32_t status, std::string text) {
    MemoRecordLayout m;
    m.id = id;
    m.status = status;
    m.text = std::move(text);
    return m;
}

std::vector<std::uint8_t> BuildExtendedMemoFile(const MemoFileLayout& spec) {
    PalmFileBuilder b;
    ExtendedHead(b, spec, 0x4D500200u);
    const std::vector<std::uint16_t> types =
        spec.fieldTypes.empty() ? std::vector<std::uint16_t>{1, 1, 1, 1, 1, 1, 6, 64, 65, 66, 67, 5, 5, 5}
                                : spec.fieldTypes;
    const std::uint32_t perRecord = spec.fieldsPerRecord.value_or(14);
    Schema(b, perRecord, 2, 4, types);
    b.U32(spec.overrideEntryCount ? spec.entryCount : static_cast<std::uint32_t>(spec.memos.size() * perRecord));
    for (const auto& m : spec.memos) {
        b.IntField(m.id, m.intTag).IntField(m.extraA, m.intTag);
        NoteStatus(b, spec.statusOffsets).IntField(m.status, m.intTag);
        b.IntField(m.extraB, m.intTag).IntField(m.placement, m.intTag).IntField(m.category, m.intTag);
        b.IntField(m.priv, m.intTag);
        for (const auto& blob : m.blobs) {
            Blob(b, blob);
        }
        b.StringField(m.extraTextA, m.textAttr).StringField(m.extraTextB, m.textAttr).StringField(m.text, m.textAttr);
        b.Raw(m.extraFields);
    }
    b.Raw(spec.trailing);
    return b.Bytes();
}

std::vector<std::uint8_t> BuildClassicMemoFile(const MemoFileLayout& spec) {
    PalmFileBuilder b;
    ClassicHead(b, spec, 0x4D500100u);
    const std::vector<std::uint16_t> types =
        spec.fieldTypes.empty() ? std::vector<std::uint16_t>{1, 1, 1, 5, 6, 1} : spec.fieldTypes;
    const std::uint32_t perRecord = spec.fieldsPerRecord.value_or(6);
    Schema(b, perRecord, 1, 2, types);
    b.U32(spec.overrideEntryCount ? spec.entryCount : static_cast<std::uint32_t>(spec.memos.size() * perRecord));
    for (const auto& m : spec.memos) {
        b.IntField(m.id, m.intTag);
        NoteStatus(b, spec.statusOffsets).IntField(m.status, m.intTag).IntField(m.placement, m.intTag);
        b.StringField(m.text, m.textAttr).IntField(m.priv, 6).IntField(m.category, m.intTag);
        b.Raw(m.extraFields);
    }
    b.Raw(spec.trailing);
    return b.Bytes();
}

std::vector<std::uint8_t> BuildExtendedTodoFile(const TodoFileLayout& spec) {
    PalmFileBuilder b;
    ExtendedHead(b, spec, 0x54440200u);
    const std::vector<std::uint16_t> types =
        spec.fieldTypes.empty()
            ? std::vector<std::uint16_t>{1, 1, 1, 1, 1, 1, 6, 64, 65, 66, 67, 5, 5, 5, 3, 6, 1, 5, 6, 3, 6, 3, 1, 3, 8}
            : spec.fieldTypes;
    const std::uint32_t perRecord = spec.fieldsPerRecord.value_or(25);
    Schema(b, perRecord, 2, 4, types, 44);
    b.U32(spec.overrideEntryCount ? spec.entryCount : static_cast<std::uint32_t>(spec.todos.size() * perRecord));
    for (const auto& t : spec.todos) {
        b.IntField(t.id, t.intTag).IntField(t.extraA, t.intTag);
        NoteStatus(b, spec.statusOffsets).IntField(t.status, t.intTag);
        b.IntField(t.extraB, t.intTag).IntField(t.placement, t.intTag).IntField(t.category, t.intTag);
        b.IntField(t.priv, t.intTag);
        for (const auto& blob : t.blobs) {
            Blob(b, blob);
        }
        b.StringField(t.extraTextA, t.textAttr).StringField(t.extraTextB, t.textAttr);
        b.StringField(t.description, t.textAttr);
        // Positions 14 on, each its own piece, so that a schema of fewer
        // fields per record leaves the last ones out.
        std::vector<PalmFileBuilder> tail(11);
        tail[0].IntField(t.dueDate, t.dateTag);
        tail[1].IntField(t.completed, t.flagTag);
        tail[2].IntField(t.priority, t.intTag);
        tail[3].StringField(t.note, t.textAttr);
        tail[4].IntField(t.extraC, t.flagTag);
        tail[5].IntField(t.extraDateA, t.dateTag);
        tail[6].IntField(t.alarm, t.flagTag);
        tail[7].IntField(t.extraDateB, t.dateTag);
        tail[8].IntField(t.extraD, t.intTag);
        tail[9].IntField(t.extraDateC, t.dateTag);
        tail[10].RepeatField(t.repeat);
        for (std::size_t pos = 14; pos < 25 && pos < perRecord; ++pos) {
            b.Raw(tail[pos - 14].Bytes());
        }
    }
    return b.Bytes();
}

std::vector<std::uint8_t> BuildClassicTodoFile(const TodoFileLayout& spec) {
    PalmFileBuilder b;
    ClassicHead(b, spec, 0x54440100u);
    const std::vector<std::uint16_t> types =
        spec.fieldTypes.empty() ? std::vector<std::uint16_t>{1, 1, 1, 5, 3, 6, 1, 6, 1, 5} : spec.fieldTypes;
    const std::uint32_t perRecord = spec.fieldsPerRecord.value_or(10);
    Schema(b, perRecord, 1, 2, types, 44);
    b.U32(spec.overrideEntryCount ? spec.entryCount : static_cast<std::uint32_t>(spec.todos.size() * perRecord));
    for (const auto& t : spec.todos) {
        b.IntField(t.id, t.intTag);
        NoteStatus(b, spec.statusOffsets).IntField(t.status, t.intTag).IntField(t.placement, t.intTag);
        b.StringField(t.description, t.textAttr).IntField(t.dueDate, t.dateTag).IntField(t.completed, t.flagTag);
        b.IntField(t.priority, t.intTag).IntField(t.priv, t.flagTag).IntField(t.category, t.intTag);
        b.StringField(t.note, t.textAttr);
    }
    return b.Bytes();
}

std::vector<std::uint16_t> ExtendedAddressTypes() {
    return {1, 1, 1, 1, 1, 1, 6, 64, 65, 66, 67, 5, 5, 5, 5, 5, 5, 1, 5, 5, 5, 5, 5, 5, 5, 5, 1, 1, 1, 1, 1, 1, 1,
            5, 5, 5, 5, 5, 5, 5, 5, 5, 1, 5, 5, 5, 5, 5, 1, 5, 5, 5, 5, 5, 1, 5, 5, 5, 5, 5, 5, 5, 1, 1, 5, 68,
            6, 1, 1, 5, 5, 5, 5};
}

std::vector<std::uint16_t> ClassicAddressTypes() {
    return {1, 1, 1, 5, 5, 5, 5, 1, 5, 1, 5, 1, 5, 1, 5, 1, 5, 5, 5, 5, 5, 5, 5, 6, 1, 5, 5, 5, 5, 1};
}

namespace {

void AddressCategories(PalmFileBuilder& b, const ContactFileLayout& spec) {
    b.U32(spec.nextCategoryId).U32(static_cast<std::uint32_t>(spec.categories.size()));
    for (const auto& c : spec.categories) {
        b.U32(c.index).U32(c.id).U32(c.dirty).CString(c.name).CString(c.second);
    }
}

void AddressSchema(PalmFileBuilder& b, std::uint32_t fieldsPerRecord, std::uint32_t statusPos,
                   std::uint32_t placementPos, const std::vector<std::uint16_t>& types) {
    b.U32(74).U32(fieldsPerRecord).U32(0).U32(statusPos).U32(placementPos);
    b.U16(static_cast<std::uint16_t>(types.size()));
    for (const auto t : types) {
        b.U16(t);
    }
}

}  // namespace

std::vector<std::uint8_t> BuildExtendedAddressFile(const ContactFileLayout& spec) {
    PalmFileBuilder b;
    b.U8(0xBE).U8(0xBA).U8(0xFE).U8(0xCA).U8(0x0F).Raw(std::string("PalmSG Database00RV"));
    b.U32(spec.versionTag != 0 ? spec.versionTag : 0x41420200u);
    for (const auto v : spec.headerBlock) {
        b.U8(v);
    }
    b.CString(spec.recordedName);
    for (const auto v : spec.nameBlock) {
        b.U8(v);
    }
    for (std::size_t i = 0; i < spec.customLabels.size(); ++i) {
        b.CString(spec.customLabels[i]).U32(spec.customLabelValues[i]);
    }
    for (const auto v : spec.labelBlock) {
        b.U8(v);
    }
    AddressCategories(b, spec);
    const std::vector<std::uint16_t> types = spec.fieldTypes.empty() ? ExtendedAddressTypes() : spec.fieldTypes;
    const std::uint32_t perRecord = spec.fieldsPerRecord.value_or(73);
    AddressSchema(b, perRecord, 2, 4, types);
    b.U32(spec.overrideEntryCount ? spec.entryCount : static_cast<std::uint32_t>(spec.contacts.size() * perRecord));
    for (const auto& c : spec.contacts) {
        b.IntField(c.id).IntField(0);
        NoteStatus(b, spec.statusOffsets).IntField(c.status).IntField(0).IntField(c.placement).IntField(c.category);
        b.IntField(c.priv);
        for (const auto& blob : c.blobs) {
            Blob(b, blob);
        }
        b.StringField(c.extraTextA).StringField(c.extraTextB);
        b.StringField(spec.swapped ? c.lastName : c.firstName).StringField(spec.swapped ? c.firstName : c.lastName);
        b.StringField(c.title).StringField(c.company).IntField(c.extras[0]).StringField(c.note);
        for (const auto& phone : c.phones) {
            b.StringField(phone);
        }
        for (const auto label : c.phoneLabels) {
            b.IntField(label);
        }
        for (const auto& custom : c.custom) {
            b.StringField(custom);
        }
        for (std::size_t a = 0; a < 3; ++a) {
            b.IntField(c.extras[1 + a]);
            for (const auto& part : c.addresses[a]) {
                b.StringField(part);
            }
        }
        b.StringField(c.chat1).StringField(c.chat2).IntField(c.extras[4]).IntField(c.extras[5]);
        b.StringField(c.webPage).U32(c.birthdayTag);
        for (const auto v : c.birthday) {
            b.U8(v);
        }
        b.IntField(c.extras[6], 6).IntField(c.extras[7]).IntField(c.extras[8]);
        for (const auto& text : c.extraTexts) {
            b.StringField(text);
        }
    }
    return b.Bytes();
}

DateRecordLayout MakeDate(std::uint32_t id, std::uint32_t status, std::string description) {
    DateRecordLayout d;
    d.id = id;
    d.status = status;
    d.description = std::move(description);
    d.start = 1241515800;
    d.end = 1241518500;
    return d;
}

DateFileLayout RichDateFileLayout() {
    DateFileLayout spec;
    spec.recordedName = "C:\\Palm\\Old User\\datebook\\datebook.dat";
    spec.headerText = "Palm Date Book " + std::string(600, 'h');
    // Bytes 12 and 13 hold the record count (12) as the writer derives it.
    spec.headerBlock = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 12, 0x10, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    spec.categories = {{1, 1, 0, "Business", "Business"}, {5, 9, 0, "Caf\xE9", "Caf\xE9"}};
    for (std::uint32_t kind = 0; kind <= 6; ++kind) {
        DateRecordLayout d = MakeDate(100 + kind, kind % 2 == 0 ? 0x00 : 0x84, "Repeat kind " + std::to_string(kind));
        d.placement = kind * 10;
        d.repeat = MakeRepeat(kind, kind >= 2 ? std::vector<std::uint32_t>{1241600000, 1242200000} : std::vector<std::uint32_t>{});
        d.category = kind % 3 == 0 ? 1 : 9;
        spec.dates.push_back(d);
    }
    // A later weekly rule that refers to the class declared before.
    DateRecordLayout reference = MakeDate(120, 0x04, "Weekly by class reference");
    reference.repeat = MakeRepeat(2, {1243000000});
    reference.repeat.marker = 0x8003;
    reference.repeat.className.clear();
    spec.dates.push_back(reference);

    DateRecordLayout untimed = MakeDate(130, 0x04, "All day\r\nsecond line \xE9\x80\xFC");
    untimed.allDay = 3;
    untimed.extraD = 1;  // classic: private; extended: alarm set
    untimed.extraF = 1;  // classic: alarm set
    untimed.priv = 1;
    untimed.category = 9;
    untimed.note = std::string(9000, 'n') + "\r\nend";
    untimed.location = std::string(300, 'l');
    untimed.description += std::string(600, 'd');
    untimed.extraTextA = std::string(40, 'a');
    untimed.extraTextC = "extra C";
    untimed.extraTextD = std::string(33, 'D');
    untimed.extraC = 45;
    untimed.extraE = 2;
    untimed.extraG = 0xFFFFFFFF;
    untimed.extraH = 7;
    untimed.blobs[1] = {65, 2, 11, 12, {1, 2, 3}};
    untimed.blobs[2] = {66, 5, 0, 0, {9, 8, 7, 6, 5}};
    spec.dates.push_back(untimed);

    DateRecordLayout zero = MakeDate(140, 0x80, "Starts at 0");
    zero.start = 0;
    zero.end = 0;
    spec.dates.push_back(zero);
    DateRecordLayout none = MakeDate(150, 0x04, "No time");
    none.start = 0xFFFFFFFF;
    none.end = 0xFFFFFFFF;
    spec.dates.push_back(none);
    DateRecordLayout live = MakeDate(160, 0x01, "");
    live.end = 0xFFFFFFFF;
    spec.dates.push_back(live);
    return spec;
}

std::vector<std::uint8_t> BuildExtendedDateFile(const DateFileLayout& spec) {
    PalmFileBuilder b;
    ExtendedHead(b, spec, 0x44420200u);
    const std::vector<std::uint16_t> types =
        spec.fieldTypes.empty() ? std::vector<std::uint16_t>{1, 1, 1, 1, 1, 1, 6, 64, 65, 66, 67, 5, 5, 3,
                                                             3, 5, 1, 5, 6, 6, 1, 1, 8, 5, 1, 5, 5}
                                : spec.fieldTypes;
    const std::uint32_t perRecord = spec.fieldsPerRecord.value_or(27);
    Schema(b, perRecord, 2, 4, types, 54);
    b.U32(spec.overrideEntryCount ? spec.entryCount : static_cast<std::uint32_t>(spec.dates.size() * perRecord));
    for (const DateRecordLayout& d : spec.dates) {
        b.IntField(d.id).IntField(d.extraA);
        NoteStatus(b, spec.statusOffsets).IntField(d.status).IntField(d.extraB);
        b.IntField(d.placement).IntField(d.category).IntField(d.priv);
        for (const BlobField& blob : d.blobs) {
            Blob(b, blob);
        }
        b.StringField(d.extraTextA).StringField(d.extraTextB);
        b.IntField(d.start, d.startTag).IntField(d.end, d.endTag).StringField(d.description).IntField(d.extraC);
        b.StringField(d.note).IntField(d.allDay, 6).IntField(d.extraD, 6);
        b.IntField(d.extraE).IntField(d.extraF).RepeatField(d.repeat).StringField(d.location);
        b.IntField(d.extraG).StringField(d.extraTextC).StringField(d.extraTextD);
    }
    return b.Bytes();
}

std::vector<std::uint8_t> BuildClassicAddressFile(const ContactFileLayout& spec) {
    PalmFileBuilder b;
    b.U32(spec.versionTag != 0 ? spec.versionTag : 0x41420100u);
    b.CString(spec.recordedName);
    b.CString(spec.headerText);
    AddressCategories(b, spec);
    const std::vector<std::uint16_t> types = spec.fieldTypes.empty() ? ClassicAddressTypes() : spec.fieldTypes;
    const std::uint32_t perRecord = spec.fieldsPerRecord.value_or(30);
    AddressSchema(b, perRecord, 1, 2, types);
    b.U32(spec.overrideEntryCount ? spec.entryCount : static_cast<std::uint32_t>(spec.contacts.size() * perRecord));
    for (const auto& c : spec.contacts) {
        b.IntField(c.id);
        NoteStatus(b, spec.statusOffsets).IntField(c.status).IntField(c.placement);
        b.StringField(spec.swapped ? c.firstName : c.lastName).StringField(spec.swapped ? c.lastName : c.firstName);
        b.StringField(c.title).StringField(c.company);
        for (std::size_t i = 0; i < 5; ++i) {
            b.IntField(c.phoneLabels[i]).StringField(c.phones[i]);
        }
        for (const auto& part : c.addresses[0]) {
            b.StringField(part);
        }
        b.StringField(c.note).IntField(c.priv, 6).IntField(c.category);
        for (std::size_t i = 0; i < 4; ++i) {
            b.StringField(c.custom[i]);
        }
        b.IntField(c.extras[0]);
    }
    return b.Bytes();
}

std::vector<std::uint8_t> BuildClassicDateFile(const DateFileLayout& spec) {
    PalmFileBuilder b;
    ClassicHead(b, spec, 0x44420100u);
    const std::vector<std::uint16_t> types =
        spec.fieldTypes.empty() ? std::vector<std::uint16_t>{1, 1, 1, 3, 1, 5, 1, 5, 6, 6, 1, 6, 1, 1, 8} : spec.fieldTypes;
    const std::uint32_t perRecord = spec.fieldsPerRecord.value_or(15);
    Schema(b, perRecord, 1, 2, types, 54);
    b.U32(spec.overrideEntryCount ? spec.entryCount : static_cast<std::uint32_t>(spec.dates.size() * perRecord));
    for (const DateRecordLayout& d : spec.dates) {
        b.IntField(d.id);
        NoteStatus(b, spec.statusOffsets).IntField(d.status).IntField(d.placement);
        b.IntField(d.start, d.startTag).IntField(d.end, d.endTag).StringField(d.description).IntField(d.extraC);
        b.StringField(d.note).IntField(d.allDay, 6).IntField(d.extraD, 6).IntField(d.extraE);
        b.IntField(d.extraF, 6).IntField(d.extraG).IntField(d.extraH).RepeatField(d.repeat);
    }
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
