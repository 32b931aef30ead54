#include "common/palm/PmTime.h"

#include <chrono>

#include "platform/LocalClock.h"

namespace lazrine::palm {

PmTime::PmTime(std::uint32_t value) : m_nTime(value) {
    if (value == 0) {
        const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
        m_nTime = static_cast<std::uint32_t>(now);
    }
}

bool PmTime::ToSystemTime(misc::CxDateTime::Fields* st) const {
    if (st == nullptr || m_nTime == kNoTime) {
        return false;
    }
    platform::LocalClock::Fields local;
    if (!platform::LocalClock::ToLocal(static_cast<std::int64_t>(m_nTime), local)) {
        return false;
    }
    misc::CxDateTime::Fields fields;
    fields.wYear = static_cast<std::uint16_t>(local.year);
    fields.wMonth = static_cast<std::uint16_t>(local.month);
    fields.wDay = static_cast<std::uint16_t>(local.day);
    fields.wHour = static_cast<std::uint16_t>(local.hour);
    fields.wMinute = static_cast<std::uint16_t>(local.minute);
    fields.wSecond = static_cast<std::uint16_t>(local.second);
    *st = fields;
    return true;
}

}  // namespace lazrine::palm
