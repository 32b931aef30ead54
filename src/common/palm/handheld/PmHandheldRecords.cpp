#include "common/palm/handheld/PmHandheldRecords.h"

#include <algorithm>

#include "common/palm/handheld/PmPdbFile.h"

namespace lazrine::palm {
namespace {

// Reads a record front to back; every read checks what remains.
class Cursor {
public:
    explicit Cursor(std::span<const std::uint8_t> data) : m_data(data) {}

    bool U8(std::uint8_t& v) {
        if (m_at + 1 > m_data.size()) {
            return false;
        }
        v = m_data[m_at++];
        return true;
    }
    bool U16(std::uint16_t& v) {
        if (m_at + 2 > m_data.size()) {
            return false;
        }
        v = PmPdbFile::ReadU16(m_data, m_at);
        m_at += 2;
        return true;
    }
    bool U32(std::uint32_t& v) {
        if (m_at + 4 > m_data.size()) {
            return false;
        }
        v = PmPdbFile::ReadU32(m_data, m_at);
        m_at += 4;
        return true;
    }
    // A zero-terminated text; one without its zero ends with the record.
    bool Text(std::string& out) {
        if (m_at >= m_data.size()) {
            return false;
        }
        const auto begin = m_data.begin() + static_cast<std::ptrdiff_t>(m_at);
        const auto end = std::find(begin, m_data.end(), std::uint8_t{0});
        out.assign(begin, end);
        m_at = static_cast<std::size_t>(end - m_data.begin()) + (end == m_data.end() ? 0 : 1);
        return true;
    }
    bool AtEnd() const { return m_at >= m_data.size(); }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_at = 0;
};

bool Fail(std::string& error, const char* reason) {
    error = reason;
    return false;
}

}  // namespace

bool PmHandheldRecords::DecodeMemo(std::span<const std::uint8_t> data, Memo& out, std::string& error) {
    out = Memo();
    Cursor cursor(data);
    if (!data.empty() && !cursor.Text(out.szText)) {
        return Fail(error, "the memo text is cut short");
    }
    return true;
}

bool PmHandheldRecords::DecodeTodo(std::span<const std::uint8_t> data, Todo& out, std::string& error) {
    out = Todo();
    Cursor cursor(data);
    std::uint8_t priority = 0;
    if (!cursor.U16(out.nDueDate) || !cursor.U8(priority)) {
        return Fail(error, "the task is shorter than its date and priority");
    }
    out.bCompleted = (priority & 0x80) != 0;
    out.nPriority = priority & 0x7F;
    // The description always comes, the note may be cut away.
    if (!cursor.Text(out.szDescription)) {
        return Fail(error, "the task has no description");
    }
    if (!cursor.AtEnd()) {
        cursor.Text(out.szNote);
    }
    return true;
}

bool PmHandheldRecords::DecodeEvent(std::span<const std::uint8_t> data, Event& out, std::string& error) {
    out = Event();
    Cursor cursor(data);
    std::uint8_t pad = 0;
    if (!cursor.U8(out.nStartHour) || !cursor.U8(out.nStartMinute) || !cursor.U8(out.nEndHour) ||
        !cursor.U8(out.nEndMinute) || !cursor.U16(out.nDate) || !cursor.U8(out.nFlags) || !cursor.U8(pad)) {
        return Fail(error, "the appointment is shorter than its times and date");
    }
    if ((out.nFlags & Event::kAlarm) != 0) {
        std::uint8_t advance = 0;
        if (!cursor.U8(advance) || !cursor.U8(out.nAlarmUnit)) {
            return Fail(error, "the appointment's alarm is cut short");
        }
        out.nAlarmAdvance = static_cast<std::int8_t>(advance);
    }
    if ((out.nFlags & Event::kRepeat) != 0) {
        if (!cursor.U8(out.nRepeatType) || !cursor.U8(pad) || !cursor.U16(out.nRepeatEnd) ||
            !cursor.U8(out.nRepeatFrequency) || !cursor.U8(out.nRepeatOn) || !cursor.U8(out.nRepeatStartOfWeek) ||
            !cursor.U8(pad)) {
            return Fail(error, "the appointment's repeat is cut short");
        }
    }
    if ((out.nFlags & Event::kExceptions) != 0) {
        std::uint16_t count = 0;
        if (!cursor.U16(count)) {
            return Fail(error, "the appointment's exceptions are cut short");
        }
        // Each exception takes two bytes: a count beyond the record fails
        // before it drives an allocation.
        if (count * 2u > data.size()) {
            return Fail(error, "the appointment has more exceptions than it can hold");
        }
        out.exceptions.resize(count);
        for (std::uint16_t& date : out.exceptions) {
            if (!cursor.U16(date)) {
                return Fail(error, "the appointment's exceptions are cut short");
            }
        }
    }
    if ((out.nFlags & Event::kDescription) != 0 && !cursor.Text(out.szDescription)) {
        return Fail(error, "the appointment's description is missing");
    }
    if ((out.nFlags & Event::kNote) != 0 && !cursor.Text(out.szNote)) {
        return Fail(error, "the appointment's note is missing");
    }
    return true;
}

bool PmHandheldRecords::DecodeContact(std::span<const std::uint8_t> data, Contact& out, std::string& error) {
    out = Contact();
    Cursor cursor(data);
    std::uint32_t options = 0;
    std::uint32_t present = 0;
    std::uint8_t companyOffset = 0;
    if (!cursor.U32(options) || !cursor.U32(present) || !cursor.U8(companyOffset)) {
        return Fail(error, "the contact is shorter than its field flags");
    }
    for (std::size_t i = 0; i < Contact::kPhoneCount; ++i) {
        out.phoneLabels[i] = static_cast<std::uint8_t>((options >> (4 * i)) & 0x0F);
    }
    out.nDisplayPhone = static_cast<std::uint8_t>((options >> 20) & 0x0F);
    for (std::size_t field = 0; field < Contact::kFieldCount; ++field) {
        if ((present & (1u << field)) != 0 && !cursor.Text(out.fields[field])) {
            return Fail(error, "a field the contact flags is missing");
        }
    }
    return true;
}

}  // namespace lazrine::palm
