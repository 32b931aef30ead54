#include "common/palm/handheld/PmHandheldStore.h"

#include <algorithm>

#include "common/palm/handheld/PmPdbFile.h"
#include "platform/LocalClock.h"
#include "platform/TextCodec.h"

namespace lazrine::palm {
namespace {

struct Application {
    PmKind nKind;
    const char* szCreator;  // of the database the application keeps
    const char* szDatabase;
};

constexpr Application kApplications[] = {
    {PmKind::kContacts, "addr", "AddressDB"},
    {PmKind::kCalendar, "date", "DatebookDB"},
    {PmKind::kTasks, "todo", "ToDoDB"},
    {PmKind::kMemos, "memo", "MemoDB"},
};

// The creators of the databases that replaced the four on Palm OS 5
// handhelds (ContactsDB-PAdd, CalendarDB-PDat, TasksDB-PTod, MemosDB-PMem),
// whose records have another layout.
constexpr const char* kPalmOs5Creators[] = {"PAdd", "PDat", "PTod", "PMem"};

const Application& ApplicationOf(PmKind kind) {
    for (const Application& app : kApplications) {
        if (app.nKind == kind) {
            return app;
        }
    }
    return kApplications[0];
}

// A header text for a message: printable ASCII kept, anything else '?'.
std::string Printable(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c < 0x20 || c > 0x7E) {
            c = '?';
        }
    }
    return out;
}

}  // namespace

bool PmHandheldStore::Load(const std::string& path) {
    Clear();
    ClearError();
    m_szLoadedPath.clear();
    if (!Open(path, PM_OPEN_READWRITE)) {
        return false;
    }
    m_szLoadedPath = path;
    return FinishLoad(true);
}

bool PmHandheldStore::LoadBytes(std::span<const std::uint8_t> bytes) {
    Clear();
    ClearError();
    m_szLoadedPath.clear();
    return FinishLoad(OpenBytes(bytes));
}

bool PmHandheldStore::FinishLoad(bool opened) {
    m_Bytes = TakeInput();
    const bool ok = opened && ReadDatabase();
    if (!ok) {
        // A partly read database is never offered as records.
        Clear();
    }
    m_bLoaded = ok;
    return ok;
}

bool PmHandheldStore::LoadForUser(std::uint32_t /*userId*/) {
    Clear();
    ClearError();
    return Fail("a handheld backup is read only from a file named to it");
}

void PmHandheldStore::Clear() {
    m_bLoaded = false;
    m_bShiftJis = false;
    m_szDatabaseName.clear();
    m_Bytes.clear();
    m_Bytes.shrink_to_fit();
    m_Records.clear();
    m_Records.shrink_to_fit();
    m_Categories = {};
    m_CustomLabels = {};
}

std::uint32_t PmHandheldStore::StatusOf(std::uint8_t attributes) {
    std::uint32_t status = 0;
    if ((attributes & PmPdbFile::kAttrDeleted) != 0) {
        status |= kStatusDeleted;
        // Of a deleted record, 0x08 says its data was archived.
        if ((attributes & PmPdbFile::kAttrArchive) != 0) {
            status |= kStatusArchived;
        }
    }
    return status;
}

std::uint8_t PmHandheldStore::AttributesFor(std::uint8_t loaded, std::uint32_t loadedStatus, std::uint32_t status) {
    // The status bits that have a place in the attribute byte; 0x01 (brought
    // back) has none.
    constexpr std::uint32_t kShown = kStatusDeleted | kStatusArchived;
    if ((status & kShown) == (loadedStatus & kShown)) {
        return loaded;
    }
    auto attributes = static_cast<std::uint8_t>(loaded & ~PmPdbFile::kAttrDeleted);
    if ((status & kStatusDeleted) != 0) {
        attributes |= PmPdbFile::kAttrDeleted;
    }
    if ((status & kStatusArchived) != (loadedStatus & kStatusArchived)) {
        attributes = (status & kStatusArchived) != 0 ? (attributes | PmPdbFile::kAttrArchive)
                                                     : (attributes & ~PmPdbFile::kAttrArchive);
    }
    return attributes;
}

bool PmHandheldStore::LocalFields(std::uint16_t date, int hour, int minute, misc::CxDateTime::Fields& out) {
    const int year = Records::Year(date);
    const int month = Records::Month(date);
    const int day = Records::Day(date);
    if (date == Records::kNoDate || month < 1 || month > 12 || day < 1 ||
        day > misc::CxDateTime::DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59) {
        return false;
    }
    out = {};
    out.wYear = static_cast<std::uint16_t>(year);
    out.wMonth = static_cast<std::uint16_t>(month);
    out.wDay = static_cast<std::uint16_t>(day);
    const std::int64_t days = misc::CxDateTime::DaysFromCivil(year, month, day);
    out.wDayOfWeek = static_cast<std::uint16_t>(misc::CxDateTime::DayOfWeek(days));
    out.wHour = static_cast<std::uint16_t>(hour);
    out.wMinute = static_cast<std::uint16_t>(minute);
    return true;
}

std::uint32_t PmHandheldStore::LocalSeconds(std::uint16_t date, int hour, int minute) {
    misc::CxDateTime::Fields fields;
    if (!LocalFields(date, hour, minute, fields)) {
        return 0;
    }
    platform::LocalClock::Fields local;
    local.year = fields.wYear;
    local.month = fields.wMonth;
    local.day = fields.wDay;
    local.hour = hour;
    local.minute = minute;
    std::int64_t seconds = 0;
    if (!platform::LocalClock::FromLocal(local, seconds) || seconds <= 0 || seconds >= 0xFFFFFFFFll) {
        return 0;
    }
    return static_cast<std::uint32_t>(seconds);
}

bool PmHandheldStore::Decode(std::span<const std::uint8_t> bytes, Data& out, std::string& error) const {
    switch (m_nKind) {
        case PmKind::kMemos:
            return Records::DecodeMemo(bytes, out.emplace<Records::Memo>(), error);
        case PmKind::kTasks:
            return Records::DecodeTodo(bytes, out.emplace<Records::Todo>(), error);
        case PmKind::kCalendar:
            return Records::DecodeEvent(bytes, out.emplace<Records::Event>(), error);
        case PmKind::kContacts:
            return Records::DecodeContact(bytes, out.emplace<Records::Contact>(), error);
    }
    return false;
}

bool PmHandheldStore::ReadDatabase() {
    PmPdbFile pdb;
    std::string error;
    if (!pdb.Parse(m_Bytes, error)) {
        return Fail("not a Palm OS database: " + error);
    }
    const Application& app = ApplicationOf(m_nKind);
    for (const char* creator : kPalmOs5Creators) {
        if (pdb.Creator() == creator) {
            return Fail("a Palm OS 5 " + Printable(pdb.Name()) + " database; not read yet");
        }
    }
    if (pdb.Type() != "DATA" || pdb.Creator() != app.szCreator) {
        return Fail("a Palm OS database of type " + Printable(pdb.Type()) + " and creator " +
                    Printable(pdb.Creator()) + "; " + app.szDatabase + " has type DATA and creator " + app.szCreator);
    }
    m_szDatabaseName = pdb.Name();
    PmPdbFile::Categories categories;
    if (pdb.ReadCategories(categories)) {
        for (std::size_t i = 0; i < m_Categories.size(); ++i) {
            m_Categories[i] = categories.names[i];
        }
    }
    ReadCustomLabels(pdb.AppInfo());
    m_Records.reserve(pdb.Records().size());
    for (const PmPdbFile::Record& entry : pdb.Records()) {
        Record& record = m_Records.emplace_back();
        record.nAttributes = entry.nAttributes;
        record.nId = entry.nUniqueId;
        record.nStatus = StatusOf(entry.nAttributes);
        record.bPrivate = (entry.nAttributes & PmPdbFile::kAttrSecret) != 0;
        // An archived record's 0x08 is the archive mark, not its category's.
        const bool archived = (record.nStatus & kStatusArchived) != 0;
        record.nCategory = entry.nAttributes & (archived ? 0x07 : PmPdbFile::kCategoryMask);
        // A record that cannot be read is listed without texts rather than
        // hiding the others; a deleted one whose data is gone has none.
        if (entry.nSize == 0 || !Decode(pdb.RecordData(entry), record.data, error)) {
            record.data = std::monostate{};
        }
    }
    // Every text is converted whole, once, in the database's encoding.
    const std::vector<std::string*> texts = Texts();
    std::vector<std::string> stored;
    stored.reserve(texts.size());
    for (const std::string* text : texts) {
        stored.push_back(*text);
    }
    m_bShiftJis = IsShiftJis(stored);
    for (std::string* text : texts) {
        std::string utf8;
        if (!m_bShiftJis || !platform::TextCodec::ShiftJisToUtf8(*text, utf8)) {
            utf8 = platform::TextCodec::Cp1252ToUtf8(*text);
        }
        *text = std::move(utf8);
    }
    return true;
}

void PmHandheldStore::ReadCustomLabels(std::span<const std::uint8_t> appInfo) {
    // The address book's block: the categories (276 bytes), a u32 of
    // renamed labels, then 22 field labels of 16 bytes; custom 1 to 4 are
    // labels 14 to 17.
    constexpr std::size_t kLabels = 276 + 4;
    constexpr std::size_t kFirstCustom = 14;
    constexpr std::size_t kLabelSize = 16;
    if (m_nKind != PmKind::kContacts || appInfo.size() < kLabels + 22 * kLabelSize) {
        return;
    }
    for (std::size_t i = 0; i < m_CustomLabels.size(); ++i) {
        const auto label = appInfo.subspan(kLabels + (kFirstCustom + i) * kLabelSize, kLabelSize);
        m_CustomLabels[i].assign(label.begin(), std::find(label.begin(), label.end(), std::uint8_t{0}));
    }
}

std::vector<std::string*> PmHandheldStore::Texts() {
    std::vector<std::string*> texts;
    for (std::string& name : m_Categories) {
        texts.push_back(&name);
    }
    for (std::string& label : m_CustomLabels) {
        texts.push_back(&label);
    }
    for (Record& record : m_Records) {
        if (auto* memo = std::get_if<Records::Memo>(&record.data)) {
            texts.push_back(&memo->szText);
        } else if (auto* todo = std::get_if<Records::Todo>(&record.data)) {
            texts.insert(texts.end(), {&todo->szDescription, &todo->szNote});
        } else if (auto* event = std::get_if<Records::Event>(&record.data)) {
            texts.insert(texts.end(), {&event->szDescription, &event->szNote});
        } else if (auto* contact = std::get_if<Records::Contact>(&record.data)) {
            for (std::string& field : contact->fields) {
                texts.push_back(&field);
            }
        }
    }
    return texts;
}

bool PmHandheldStore::IsShiftJis(const std::vector<std::string>& texts) {
    bool kana = false;
    for (const std::string& text : texts) {
        if (platform::TextCodec::IsAscii(text)) {
            continue;
        }
        std::string ignored;
        if (!platform::TextCodec::ShiftJisToUtf8(text, ignored)) {
            return false;
        }
        for (std::size_t i = 0; i < text.size();) {
            const auto lead = static_cast<unsigned char>(text[i]);
            if (lead < 0x80 || (lead >= 0xA1 && lead <= 0xDF) || i + 1 == text.size()) {
                ++i;
                continue;
            }
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            kana = kana || (lead == 0x82 && trail >= 0x9F && trail <= 0xF1) ||
                   (lead == 0x83 && trail >= 0x40 && trail <= 0x96);
            i += 2;
        }
    }
    return kana;
}

bool PmHandheldStore::PatchAttributes() {
    if (PmPdbFile::AttributeOffset(m_Records.size()) > m_Bytes.size() + PmPdbFile::kEntrySize) {
        return Fail("the records do not match the file they were loaded from");
    }
    for (std::size_t i = 0; i < m_Records.size(); ++i) {
        const Record& record = m_Records[i];
        m_Bytes[PmPdbFile::AttributeOffset(i)] =
            AttributesFor(record.nAttributes, StatusOf(record.nAttributes), record.nStatus);
    }
    return true;
}

bool PmHandheldStore::Save() {
    ClearError();
    if (!m_bLoaded || m_szLoadedPath.empty()) {
        return Fail("nothing was loaded from a file to save");
    }
    return PatchAttributes() && CommitBytes(m_szLoadedPath, m_Bytes);
}

bool PmHandheldStore::WriteToMemory(std::vector<std::uint8_t>& out) {
    ClearError();
    if (!m_bLoaded) {
        return Fail("nothing was loaded");
    }
    if (!PatchAttributes()) {
        return false;
    }
    out = m_Bytes;
    return true;
}

}  // namespace lazrine::palm
