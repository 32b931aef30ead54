#pragma once

#include <string>

namespace lazrine::misc {

// Desktop helpers that need no operating-system service.
class WinUtil {
public:
    // An OLE automation date (days since 1899-12-30, the fraction the time of
    // day) as "%02d-%02d-%04d %02d:%02d:%02d": month, day, year, hour, minute,
    // second. Dates outside years 100..9999 give an empty text.
    static std::string VariantTimeToText(double date);
};

}  // namespace lazrine::misc
