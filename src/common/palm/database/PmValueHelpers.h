#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/palm/database/PmVariant.h"

namespace lazrine::palm {

// Setting and reading field values. Every setter and getter returns false
// and changes nothing when `value` is null; a getter also returns false and
// leaves its output unchanged when the value is of another kind.

bool PmSetInt(std::int32_t n, PmVariant* value);
// VT_BOOL with the flag widened to 16 bits (0 or the flag's own value).
bool PmSetBool(std::uint8_t flag, PmVariant* value);
// VT_BSTR; the empty text gives a null payload.
bool PmSetText(std::string_view utf8, PmVariant* value);
// VT_BSTR holding the signed decimal text of n.
bool PmSetIntAsText(std::int32_t n, PmVariant* value);

// VT_I4 gives its payload; a non-null VT_BSTR gives the decimal number at
// its start (blanks skipped, optional sign, digits up to the first other
// character, 0 without digits, saturated at the 32-bit range).
bool PmGetInt(const PmVariant* value, std::int32_t& n);
// The same as an unsigned number, for the date columns (seconds since 1970
// held as decimal text): VT_I4 gives its 32 bits; a non-null VT_BSTR gives
// the decimal number at its start (blanks skipped, an optional '+', digits up
// to the first other character, 0 without digits, saturated at 4294967295).
bool PmGetUInt(const PmVariant* value, std::uint32_t& n);
// A flag stored as Yes/No (VT_BOOL) or as a number (VT_I4): 1 when nonzero.
bool PmGetFlag(const PmVariant* value, std::uint8_t& flag);
// Only VT_BOOL: 1 when the payload is nonzero, else 0.
bool PmGetBool(const PmVariant* value, std::uint8_t& flag);
// Only VT_BSTR: the whole text (empty for a null payload).
bool PmGetText(const PmVariant* value, std::string& utf8);
// The same, moving the text out of `value` instead of copying it: for a
// row read once into a record.
bool PmTakeText(PmVariant* value, std::string& utf8);

}  // namespace lazrine::palm
