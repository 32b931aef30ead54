#include "common/misc/WinUtil.h"

#include <cstdio>

#include "common/misc/CxDateTime.h"

namespace lazrine::misc {

std::string WinUtil::VariantTimeToText(double date) {
    CxDateTime time;
    if (!time.SetVariantTime(date)) {
        return {};
    }
    const CxDateTime::Fields& f = time.GetTimeFields();
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d %02d:%02d:%02d", f.wMonth, f.wDay, f.wYear, f.wHour, f.wMinute,
                  f.wSecond);
    return buf;
}

}  // namespace lazrine::misc
