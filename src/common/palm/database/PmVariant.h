#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lazrine::palm {

// The kinds of value that cross the database accessor. The tags are those of
// OLE Automation, so that a value list reads the same on every platform.
enum PmVarType : std::uint16_t {
    VT_EMPTY = 0,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_BOOL = 11,
};

// One field value. Texts are held as UTF-8 and whole: nothing is narrowed to
// a single-byte code page, so a text read from a database can be looked up
// again byte for byte. A VT_BSTR with bBstrNull set is the empty text.
struct PmVariant {
    PmVarType vt = VT_EMPTY;
    std::int32_t lVal = 0;
    std::int16_t boolVal = 0;
    bool bBstrNull = true;
    std::string bstrVal;
};

// A row, or a set of column values, in the order of its column names.
using PmValues = std::vector<PmVariant>;

}  // namespace lazrine::palm
