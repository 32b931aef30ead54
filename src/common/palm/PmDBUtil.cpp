#include "common/palm/PmDBUtil.h"

#include <cstring>

#include "platform/AtomicFile.h"

namespace lazrine::palm {
namespace {

constexpr std::size_t kCategoryTextCap = 256;
constexpr std::uint32_t kMaxCString = 0xFFFF;

}  // namespace

bool PmDBUtil::Fail(const std::string& reason) { return Fail(platform::IoError{platform::IoFailure::kOther, reason}); }

bool PmDBUtil::Fail(const platform::IoError& error) {
    if (m_szLastError.empty()) {
        m_szLastError = error.szText;
        m_nLastFailure = error.nCode == platform::IoFailure::kNone ? platform::IoFailure::kOther : error.nCode;
    }
    return false;
}

bool PmDBUtil::FailIn(const std::string& context) {
    if (m_szLastError.empty()) {
        m_nLastFailure = platform::IoFailure::kOther;
    }
    m_szLastError = m_szLastError.empty() ? context : context + ": " + m_szLastError;
    return false;
}

bool PmDBUtil::Open(const std::string& path, PmOpenMode mode) {
    Close();
    if (path.empty()) {
        return Fail("no file name given");
    }
    if (mode > PM_OPEN_CREATE) {
        return Fail("unknown open mode");
    }
    platform::IoError error;
    if (!platform::AtomicFile::ReadWhole(path, m_Input, m_Loaded, error)) {
        // What an earlier open read is no longer what this object holds.
        m_szFileName.clear();
        return Fail(error);
    }
    m_nPos = 0;
    m_bOpen = true;
    m_szFileName = path;
    return true;
}

bool PmDBUtil::OpenBytes(std::span<const std::uint8_t> bytes) {
    Close();
    m_Input.assign(bytes.begin(), bytes.end());
    m_Loaded = platform::FileFingerprint{};
    m_nPos = 0;
    m_bOpen = true;
    m_szFileName.clear();
    return true;
}

void PmDBUtil::Close() {
    m_bOpen = false;
    m_Input.clear();
    m_Input.shrink_to_fit();
    m_nPos = 0;
    m_bWriting = false;
    m_Output.clear();
    m_Output.shrink_to_fit();
}

std::vector<std::uint8_t> PmDBUtil::TakeInput() {
    std::vector<std::uint8_t> bytes = std::move(m_Input);
    Close();
    return bytes;
}

bool PmDBUtil::ReadBytes(std::span<std::uint8_t> out) {
    if (out.empty()) {
        return Fail("empty read");
    }
    if (Remaining() < out.size()) {
        return Fail("the file ends early at byte " + std::to_string(m_Input.size()));
    }
    std::memcpy(out.data(), m_Input.data() + m_nPos, out.size());
    m_nPos += out.size();
    return true;
}

bool PmDBUtil::ReadBytesCounted(std::uint8_t* out, std::size_t& n) {
    if (out == nullptr) {
        return false;
    }
    const std::size_t take = n < Remaining() ? n : Remaining();
    if (take > 0) {
        std::memcpy(out, m_Input.data() + m_nPos, take);
    }
    m_nPos += take;
    n = take;
    return true;
}

bool PmDBUtil::ReadLong(std::uint32_t& v) {
    if (Remaining() >= 4) {
        // The usual case, without the checks ReadBytes makes.
        const std::uint8_t* b = m_Input.data() + m_nPos;
        v = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
            (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
        m_nPos += 4;
        return true;
    }
    std::uint8_t b[4];
    if (!ReadBytes(b)) {
        return false;
    }
    v = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
        (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return true;
}

bool PmDBUtil::ReadShort(std::uint16_t& v) {
    std::uint8_t b[2];
    if (!ReadBytes(b)) {
        return false;
    }
    v = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool PmDBUtil::ReadByte(std::uint8_t& v) {
    if (Remaining() >= 1) {
        v = m_Input[m_nPos++];
        return true;
    }
    std::uint8_t b[1];
    if (!ReadBytes(b)) {
        return false;
    }
    v = b[0];
    return true;
}

bool PmDBUtil::ReadQuad(PmQuad& v) { return ReadBytes(v); }

bool PmDBUtil::ReadCString(std::string& out, std::size_t cap, std::size_t* length) {
    out.clear();
    std::string_view view;
    if (!ReadCStringView(view, cap, length)) {
        return false;
    }
    out.assign(view);
    return true;
}

bool PmDBUtil::ReadCStringView(std::string_view& out, std::size_t cap, std::size_t* length) {
    out = {};
    std::uint8_t first = 0;
    if (!ReadByte(first)) {
        return false;
    }
    std::size_t len = first;
    if (first == 0xFF) {
        std::uint16_t wide = 0;
        if (!ReadShort(wide)) {
            return false;
        }
        len = wide;
    }
    if (length != nullptr) {
        *length = len;
    }
    if (len > cap) {
        return Fail("a text of " + std::to_string(len) + " characters is longer than the " +
                    std::to_string(cap) + " allowed at byte " + std::to_string(m_nPos));
    }
    if (Remaining() < len) {
        return Fail("the file ends inside a text");
    }
    out = std::string_view(reinterpret_cast<const char*>(m_Input.data() + m_nPos), len);
    m_nPos += len;
    return true;
}

bool PmDBUtil::ReadIntField(std::uint32_t& v) {
    std::uint32_t tag = 0;
    if (!ReadLong(tag)) {
        return false;
    }
    if (tag != PM_FIELD_INTEGER && tag != PM_FIELD_DATE && tag != PM_FIELD_BOOLEAN) {
        return Fail("unexpected field tag " + std::to_string(tag) + " where a number was expected at byte " +
                    std::to_string(m_nPos - 4));
    }
    return ReadLong(v);
}

bool PmDBUtil::ReadStringField(std::string& out, std::uint32_t& attr) {
    out.clear();
    std::string_view view;
    if (!ReadStringFieldView(view, attr)) {
        return false;
    }
    out.assign(view);
    return true;
}

bool PmDBUtil::ReadStringFieldView(std::string_view& out, std::uint32_t& attr) {
    out = {};
    std::uint32_t tag = 0;
    if (!ReadLong(tag)) {
        return false;
    }
    if (tag != PM_FIELD_CSTRING) {
        return Fail("unexpected field tag " + std::to_string(tag) + " where a text was expected at byte " +
                    std::to_string(m_nPos - 4));
    }
    return ReadLong(attr) && ReadCStringView(out, kMaxCString);
}

bool PmDBUtil::ReadBlobField(PmBlobField& blob) {
    blob = PmBlobField{};
    if (!ReadLong(blob.nTag) || !ReadLong(blob.nForm)) {
        return false;
    }
    std::uint32_t length = 0;
    if (blob.nForm == 0) {
        return true;
    }
    if (blob.nForm <= 3) {
        if (!ReadLong(blob.nValueA) || !ReadLong(blob.nValueB) || !ReadLong(blob.nDataLength)) {
            return false;
        }
        length = blob.nDataLength;
    } else {
        blob.nDataLength = blob.nForm;
        length = blob.nForm;
    }
    if (length == 0) {
        return true;
    }
    // Checked before allocating: a corrupt length cannot drive an allocation
    // larger than what remains of the file.
    if (Remaining() < length) {
        return Fail("a binary field of " + std::to_string(length) + " bytes runs past the end of the file");
    }
    blob.data.assign(m_Input.begin() + static_cast<std::ptrdiff_t>(m_nPos),
                     m_Input.begin() + static_cast<std::ptrdiff_t>(m_nPos + length));
    m_nPos += length;
    return true;
}

bool PmDBUtil::ReadQuadField(PmQuad& v) {
    std::uint32_t tag = 0;
    return ReadLong(tag) && ReadQuad(v);
}

std::size_t PmDBUtil::RawFieldSize(std::span<const std::uint8_t> bytes) {
    const auto u32At = [&bytes](std::size_t at, std::uint64_t& v) {
        if (bytes.size() < at + 4) {
            return false;
        }
        v = static_cast<std::uint64_t>(bytes[at]) | (static_cast<std::uint64_t>(bytes[at + 1]) << 8) |
            (static_cast<std::uint64_t>(bytes[at + 2]) << 16) | (static_cast<std::uint64_t>(bytes[at + 3]) << 24);
        return true;
    };
    std::uint64_t tag = 0;
    if (!u32At(0, tag)) {
        return 0;
    }
    std::uint64_t size = 0;
    switch (tag) {
        case PM_FIELD_INTEGER:
        case PM_FIELD_DATE:
        case PM_FIELD_BOOLEAN:
            size = 8;
            break;
        case PM_FIELD_QUAD:
            size = 12;
            break;
        case PM_FIELD_REPEAT: {
            // Exception dates, class marker or declaration, rule header and
            // the values of its kind: the repeat reader knows the layout.
            PmDBUtil probe;
            probe.OpenBytes(bytes);
            PmRepeatRule rule;
            if (!probe.ReadRepeatField(rule)) {
                return 0;
            }
            size = probe.Tell();
            break;
        }
        case PM_FIELD_CSTRING: {
            // Tag, attribute, then the CString's length byte (0xFF: a u16).
            if (bytes.size() < 9) {
                return 0;
            }
            size = 9 + bytes[8];
            if (bytes[8] == 0xFF) {
                if (bytes.size() < 11) {
                    return 0;
                }
                size = 11 + (static_cast<std::uint64_t>(bytes[9]) | (static_cast<std::uint64_t>(bytes[10]) << 8));
            }
            break;
        }
        default: {
            std::uint64_t form = 0;
            if (!u32At(4, form)) {
                return 0;
            }
            if (form == 0) {
                size = 8;
            } else if (form <= 3) {
                std::uint64_t length = 0;
                if (!u32At(16, length)) {
                    return 0;
                }
                size = 20 + length;
            } else {
                size = 8 + form;
            }
            break;
        }
    }
    return size <= bytes.size() ? static_cast<std::size_t>(size) : 0;
}

bool PmDBUtil::ReadRawField(std::vector<std::uint8_t>& out) {
    const std::span<const std::uint8_t> rest(m_Input.data() + m_nPos, Remaining());
    const std::size_t size = RawFieldSize(rest);
    if (size == 0) {
        return Fail("a field runs past the end of the file at byte " + std::to_string(m_nPos));
    }
    out.insert(out.end(), rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(size));
    m_nPos += size;
    return true;
}

void PmDBUtil::ReadRest(std::vector<std::uint8_t>& out) {
    out.assign(m_Input.begin() + static_cast<std::ptrdiff_t>(m_nPos), m_Input.end());
    m_nPos = m_Input.size();
}

bool PmDBUtil::Rewind(std::size_t pos) {
    if (!m_bOpen || pos > m_nPos) {
        return Fail("cannot go back to byte " + std::to_string(pos));
    }
    m_nPos = pos;
    return true;
}

std::size_t PmDBUtil::Tell() const {
    if (m_bWriting) {
        return m_Output.size();
    }
    return m_bOpen ? m_nPos : 0;
}

void PmDBUtil::BeginWrite(std::size_t expectedSize) {
    m_Output.clear();
    m_Output.reserve(expectedSize);
    m_bWriting = true;
}

bool PmDBUtil::WriteBytes(std::span<const std::uint8_t> data) {
    if (!m_bWriting) {
        return Fail("no file is being written");
    }
    if (data.empty()) {
        return Fail("empty write");
    }
    m_Output.insert(m_Output.end(), data.begin(), data.end());
    return true;
}

bool PmDBUtil::WriteLong(std::uint32_t v) {
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                               static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    return WriteBytes(b);
}

bool PmDBUtil::WriteShort(std::uint16_t v) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
    return WriteBytes(b);
}

bool PmDBUtil::WriteByte(std::uint8_t v) {
    const std::uint8_t b[1] = {v};
    return WriteBytes(b);
}

bool PmDBUtil::WriteQuad(const PmQuad& v) { return WriteBytes(v); }

bool PmDBUtil::WriteCString(const std::string& text) {
    const std::size_t len = text.size();
    if (len > kMaxCString) {
        return Fail("a text of " + std::to_string(len) +
                    " characters is too long for a Palm Desktop data file (at most 65535)");
    }
    if (len < 0xFF) {
        if (!WriteByte(static_cast<std::uint8_t>(len))) {
            return false;
        }
    } else if (!WriteByte(0xFF) || !WriteShort(static_cast<std::uint16_t>(len))) {
        return false;
    }
    if (len == 0) {
        return true;
    }
    return WriteBytes({reinterpret_cast<const std::uint8_t*>(text.data()), len});
}

bool PmDBUtil::WriteTypedInt(std::uint32_t tag, std::uint32_t v) { return WriteLong(tag) && WriteLong(v); }

bool PmDBUtil::WriteStringField(const std::string& text, std::uint32_t attr) {
    return WriteLong(PM_FIELD_CSTRING) && WriteLong(attr) && WriteCString(text);
}

bool PmDBUtil::WriteBlobField(const PmBlobField& blob) {
    if (!WriteLong(blob.nTag) || !WriteLong(blob.nForm)) {
        return false;
    }
    if (blob.nForm == 0) {
        return true;
    }
    std::size_t length = blob.nForm;
    if (blob.nForm <= 3) {
        if (!WriteLong(blob.nValueA) || !WriteLong(blob.nValueB) || !WriteLong(blob.nDataLength)) {
            return false;
        }
        length = blob.nDataLength;
    }
    if (length == 0) {
        return true;
    }
    if (blob.data.size() != length) {
        return Fail("a binary field has no data for its length");
    }
    return WriteBytes(blob.data);
}

bool PmDBUtil::WriteQuadField(const PmQuad& v) { return WriteLong(PM_FIELD_QUAD) && WriteQuad(v); }

bool PmDBUtil::CommitBytes(const std::string& path, std::span<const std::uint8_t> content) {
    platform::IoError error;
    platform::FileFingerprint other;
    platform::FileFingerprint& expected = path == m_szFileName ? m_Loaded : other;
    const auto outcome = platform::AtomicFile::ReplaceLoaded(path, content, expected, error);
    return outcome == platform::AtomicFile::Outcome::kReplaced || Fail(error);
}

bool PmDBUtil::ReadCategorySection() {
    m_pCatMgr = std::make_unique<PmCategoryMgr>();
    std::uint32_t nextId = 0;
    std::uint32_t count = 0;
    if (!ReadLong(nextId) || !ReadLong(count)) {
        return false;
    }
    m_pCatMgr->SetNextId(nextId);
    count &= 0xFFFF;

    PmCategory scratch;
    scratch.SetIndex(0);
    scratch.SetId(0);
    scratch.SetName("Unfiled");
    if (!m_pCatMgr->Add(scratch)) {
        return Fail("cannot set up the category list");
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t index = 0;
        std::uint32_t id = 0;
        std::uint32_t dirty = 0;
        std::string name;
        std::string second;
        if (!ReadLong(index) || !ReadLong(id) || !ReadLong(dirty) || !ReadCString(name, kCategoryTextCap) ||
            !ReadCString(second, kCategoryTextCap)) {
            return false;
        }
        PmCategory category;
        category.SetIndex(static_cast<std::int32_t>(index));
        category.SetId(static_cast<std::int32_t>(id));
        category.SetDirty(dirty != 0);
        category.SetName(name);
        category.SetSafeName(second);
        if (index == 0xFFFFFFFFu || id == 0xFFFFFFFFu || !m_pCatMgr->Add(category)) {
            return Fail("the category section holds an invalid or repeated category (entry " +
                        std::to_string(i + 1) + ")");
        }
    }
    m_pCatMgr->SetModified(false);
    return true;
}

bool PmDBUtil::GetCategoryText(std::int32_t id, std::string& out) const {
    out.clear();
    if (!m_pCatMgr) {
        return false;
    }
    const PmCategory* category = m_pCatMgr->FindById(id);
    if (category == nullptr) {
        return false;
    }
    out = category->GetName();
    return true;
}

std::string_view PmDBUtil::CategoryTextView(std::int32_t id) const {
    const PmCategory* category = m_pCatMgr ? m_pCatMgr->FindById(id) : nullptr;
    return category != nullptr ? std::string_view(category->GetName()) : std::string_view();
}

bool PmDBUtil::ReadField(const PmFieldRef& ref) {
    std::uint32_t attr = 0;
    // The usual fields - a number, a text of up to 254 characters - whole
    // inside the bytes are read here at once; anything else (another tag,
    // the long length form, the end of the data) takes the checked readers,
    // which accept and refuse exactly as for these.
    const std::uint8_t* const at = m_Input.data() + m_nPos;
    const std::size_t remaining = Remaining();
    const auto u32At = [at](std::size_t offset) {
        return static_cast<std::uint32_t>(at[offset]) | (static_cast<std::uint32_t>(at[offset + 1]) << 8) |
               (static_cast<std::uint32_t>(at[offset + 2]) << 16) | (static_cast<std::uint32_t>(at[offset + 3]) << 24);
    };
    if (auto* const* number = std::get_if<std::uint32_t*>(&ref.target)) {
        if (remaining >= 8) {
            const std::uint32_t tag = u32At(0);
            if (tag == PM_FIELD_INTEGER || tag == PM_FIELD_DATE || tag == PM_FIELD_BOOLEAN) {
                **number = u32At(4);
                m_nPos += 8;
                return true;
            }
        }
        return ReadIntField(**number);
    }
    if (auto* const* fileText = std::get_if<PmFileText*>(&ref.target)) {
        if (remaining >= 9 && u32At(0) == PM_FIELD_CSTRING && at[8] != 0xFF && remaining - 9 >= at[8]) {
            **fileText = PmFileText::At(at + 8);
            m_nPos += 9 + at[8];
            return true;
        }
    }
    if (auto* const* text = std::get_if<std::string*>(&ref.target)) {
        return ReadStringField(**text, attr);
    }
    if (auto* const* view = std::get_if<std::string_view*>(&ref.target)) {
        return ReadStringFieldView(**view, attr);
    }
    if (auto* const* text = std::get_if<PmFileText*>(&ref.target)) {
        // The CString follows the field's tag and attribute (8 bytes); the
        // view reader checks that it lies whole inside the bytes.
        const std::size_t start = m_nPos;
        std::string_view view;
        if (!ReadStringFieldView(view, attr)) {
            return false;
        }
        **text = PmFileText::At(m_Input.data() + start + 8);
        return true;
    }
    if (auto* const* blob = std::get_if<PmBlobField*>(&ref.target)) {
        return ReadBlobField(**blob);
    }
    if (auto* const* quad = std::get_if<PmQuad*>(&ref.target)) {
        return ReadQuadField(**quad);
    }
    if (auto* const* rule = std::get_if<PmRepeatRule*>(&ref.target)) {
        return ReadRepeatField(**rule);
    }
    if (auto* const* held = std::get_if<PmBlobBytes*>(&ref.target)) {
        // Checked as the binary-field reader checks it, then seen as the file
        // holds it. The fields of one target follow each other in the file,
        // so the view grows over the next one.
        const std::span<const std::uint8_t> rest(m_Input.data() + m_nPos, Remaining());
        const std::size_t size = PmBlobBytes::FieldSize(rest);
        if (size == 0) {
            PmBlobField blob;
            return ReadBlobField(blob) && Fail("a binary field runs past the end of the file");
        }
        std::span<const std::uint8_t>& bytes = (**held).bytes;
        if (bytes.empty()) {
            bytes = rest.first(size);
        } else if (bytes.data() + bytes.size() == rest.data()) {
            bytes = std::span<const std::uint8_t>(bytes.data(), bytes.size() + size);
        } else {
            return Fail("the binary fields of a record do not follow each other at byte " + std::to_string(m_nPos));
        }
        m_nPos += size;
        return true;
    }
    return true;
}

bool PmDBUtil::ReadSchema(PmSchema& schema) {
    std::uint16_t count = 0;
    if (!ReadLong(schema.nSchemaId) || !ReadLong(schema.nFieldsPerRecord) || !ReadLong(schema.nRecordIdPos) ||
        !ReadLong(schema.nStatusPos) || !ReadLong(schema.nPlacementPos) || !ReadShort(count)) {
        return false;
    }
    if (Remaining() < static_cast<std::size_t>(count) * 2) {
        return Fail("the schema runs past the end of the file");
    }
    schema.aFieldTypes.assign(count, 0);
    for (auto& type : schema.aFieldTypes) {
        if (!ReadShort(type)) {
            return false;
        }
    }
    return true;
}

bool PmDBUtil::WriteSchema(const PmSchema& schema) {
    if (schema.aFieldTypes.size() > 0xFFFF) {
        return Fail("the schema holds too many field types");
    }
    if (!WriteLong(schema.nSchemaId) || !WriteLong(schema.nFieldsPerRecord) || !WriteLong(schema.nRecordIdPos) ||
        !WriteLong(schema.nStatusPos) || !WriteLong(schema.nPlacementPos) ||
        !WriteShort(static_cast<std::uint16_t>(schema.aFieldTypes.size()))) {
        return false;
    }
    for (const auto type : schema.aFieldTypes) {
        if (!WriteShort(type)) {
            return false;
        }
    }
    return true;
}

namespace {

// The values that follow the rule header, by kind; kind 0, 6 and the kinds
// the format does not name carry none.
template <class Visit>
bool VisitRuleValues(std::uint32_t kind, Visit visit) {
    switch (kind) {
        case 1:
            return visit.Long(&PmRepeatRule::nDayIndex);
        case 2:
            return visit.Long(&PmRepeatRule::nDayIndex) && visit.Byte(&PmRepeatRule::nDayMask);
        case 3:
            return visit.Long(&PmRepeatRule::nDayIndex) && visit.Long(&PmRepeatRule::nWeekIndex);
        case 4:
            return visit.Long(&PmRepeatRule::nDayOfMonth);
        case 5:
            return visit.Long(&PmRepeatRule::nDayOfMonth) && visit.Long(&PmRepeatRule::nMonth);
        default:
            return true;
    }
}

}  // namespace

bool PmDBUtil::ReadRepeatField(PmRepeatRule& rule) {
    rule = PmRepeatRule{};
    std::uint32_t tag = 0;
    std::uint16_t count = 0;
    if (!ReadLong(tag)) {
        return false;
    }
    if (tag != PM_FIELD_REPEAT) {
        return Fail("a repeat field has the tag " + std::to_string(tag) + " instead of 8");
    }
    if (!ReadShort(count)) {
        return false;
    }
    if (Remaining() < static_cast<std::size_t>(count) * 4) {
        return Fail("the exception dates of a repeat field run past the end of the file");
    }
    rule.aExceptions.resize(count);
    for (auto& date : rule.aExceptions) {
        if (!ReadLong(date)) {
            return false;
        }
    }
    if (!ReadShort(rule.nClassMarker)) {
        return false;
    }
    if (rule.nClassMarker == PmRepeatRule::kNoRule) {
        return true;
    }
    if (rule.nClassMarker == PmRepeatRule::kNewClass) {
        std::uint16_t schema = 0;
        std::uint16_t length = 0;
        if (!ReadShort(schema) || !ReadShort(length)) {
            return false;
        }
        if (schema != 1) {
            return Fail("a repeat rule's class has the schema " + std::to_string(schema) + " instead of 1");
        }
        if (length == 0) {
            return Fail("a repeat rule's class has an empty name");
        }
        if (Remaining() < length) {
            return Fail("a repeat rule's class name runs past the end of the file");
        }
        rule.szClassName.assign(reinterpret_cast<const char*>(m_Input.data() + m_nPos), length);
        m_nPos += length;
    }
    if (!ReadLong(rule.nRuleKind) || !ReadLong(rule.nInterval) || !ReadLong(rule.nEndDate) ||
        !ReadLong(rule.nExtra)) {
        return false;
    }
    struct Reader {
        PmDBUtil& self;
        PmRepeatRule& rule;
        bool Long(std::uint32_t PmRepeatRule::*member) { return self.ReadLong(rule.*member); }
        bool Byte(std::uint8_t PmRepeatRule::*member) { return self.ReadByte(rule.*member); }
    };
    return VisitRuleValues(rule.nRuleKind, Reader{*this, rule});
}

bool PmDBUtil::WriteRepeatField(const PmRepeatRule& rule) {
    if (rule.aExceptions.size() > 0xFFFF) {
        return Fail("a repeat rule has more exception dates than its field can hold");
    }
    if (!WriteLong(PM_FIELD_REPEAT) || !WriteShort(static_cast<std::uint16_t>(rule.aExceptions.size()))) {
        return false;
    }
    for (const std::uint32_t date : rule.aExceptions) {
        if (!WriteLong(date)) {
            return false;
        }
    }
    if (rule.nRuleKind == 0 && rule.nClassMarker == PmRepeatRule::kNoRule) {
        return WriteShort(PmRepeatRule::kNoRule);
    }
    if (rule.nClassMarker != PmRepeatRule::kNoRule && rule.nClassMarker != PmRepeatRule::kNewClass) {
        // A class reference is kept: it points at a declaration elsewhere in
        // the file, which a save writes back unchanged.
        if (!WriteShort(rule.nClassMarker)) {
            return false;
        }
    } else {
        const std::string name =
            rule.szClassName.empty() ? std::string(PmRepeatRule::ClassNameOf(rule.nRuleKind)) : rule.szClassName;
        if (name.empty()) {
            return Fail("a repeat rule of kind " + std::to_string(rule.nRuleKind) +
                        " has no class name, so it cannot be written");
        }
        if (name.size() > 0xFFFF) {
            return Fail("a repeat rule's class name is too long to be written");
        }
        if (!WriteShort(PmRepeatRule::kNewClass) || !WriteShort(1) ||
            !WriteShort(static_cast<std::uint16_t>(name.size())) ||
            !WriteBytes({reinterpret_cast<const std::uint8_t*>(name.data()), name.size()})) {
            return false;
        }
    }
    if (!WriteLong(rule.nRuleKind) || !WriteLong(rule.nInterval) || !WriteLong(rule.nEndDate) ||
        !WriteLong(rule.nExtra)) {
        return false;
    }
    struct Writer {
        PmDBUtil& self;
        const PmRepeatRule& rule;
        bool Long(std::uint32_t PmRepeatRule::*member) { return self.WriteLong(rule.*member); }
        bool Byte(std::uint8_t PmRepeatRule::*member) { return self.WriteByte(rule.*member); }
    };
    return VisitRuleValues(rule.nRuleKind, Writer{*this, rule});
}

}  // namespace lazrine::palm
