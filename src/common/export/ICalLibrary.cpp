#include "common/export/ICalLibrary.h"

namespace lazrine::exporting {

std::unique_ptr<ICalLibrary> ICalLibrary::Load(const std::string& file, std::string& error) {
    std::string reason;
    auto library = platform::DynamicLibrary::Open(file, reason);
    if (library == nullptr) {
        error = "cannot write iCalendar: libical is not installed (" + reason + ")";
        return nullptr;
    }
    auto table = std::make_unique<ICalLibrary>();
#define LAZRINE_ICAL_LOOK_UP(name)                                                                \
    table->name = reinterpret_cast<decltype(table->name)>(library->Symbol(#name));                \
    if (table->name == nullptr) {                                                                 \
        error = "cannot write iCalendar: " + file + " is not libical 3 (it has no " #name ")";    \
        return nullptr;                                                                           \
    }
    LAZRINE_ICAL_FUNCTIONS(LAZRINE_ICAL_LOOK_UP)
#undef LAZRINE_ICAL_LOOK_UP
    table->m_library = std::move(library);
    return table;
}

const ICalLibrary* ICalLibrary::Get(std::string& error) {
    // Loaded once; a failure is kept too, so that every attempt reports the
    // same reason without looking again.
    static std::string failure;
    static const std::unique_ptr<ICalLibrary> table = [] {
#ifdef LAZRINE_ICAL_LINKED
        auto linked = std::make_unique<ICalLibrary>();
#define LAZRINE_ICAL_ADDRESS(name) linked->name = &::name;
        LAZRINE_ICAL_FUNCTIONS(LAZRINE_ICAL_ADDRESS)
#undef LAZRINE_ICAL_ADDRESS
        return linked;
#else
        return Load(kFile, failure);
#endif
    }();
    if (table == nullptr) {
        error = failure;
    }
    return table.get();
}

}  // namespace lazrine::exporting
