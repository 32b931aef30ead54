// libical loaded while the program runs: a library that cannot be loaded,
// or that is not libical, gives the sentence the export reports instead of
// a crash; the process's own table loads.
#include "common/export/ICalLibrary.h"

#include <gtest/gtest.h>

#include <string>

namespace lazrine::exporting {
namespace {

TEST(ICalLibrary, ReportsALibraryItCannotUse) {
#ifdef _WIN32
    const std::string notIcal = "kernel32.dll";
#else
    const std::string notIcal = "libc.so.6";
#endif
    const struct {
        std::string file;
        std::string error;  // how the message begins
    } cases[] = {
        {"liblazrine-absent.so.3", "cannot write iCalendar: libical is not installed (liblazrine-absent.so.3"},
        {notIcal, "cannot write iCalendar: " + notIcal + " is not libical 3 (it has no icalcomponent_add_component)"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(ICalLibrary::Load(c.file, error), nullptr) << c.file;
        EXPECT_EQ(error.substr(0, c.error.size()), c.error);
    }
    std::string error;
    const ICalLibrary* library = ICalLibrary::Get(error);
    ASSERT_NE(library, nullptr) << error;
    EXPECT_NE(library->icalcomponent_new_vevent, nullptr);
}

}  // namespace
}  // namespace lazrine::exporting
