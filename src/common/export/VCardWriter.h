#pragma once

#include <string>
#include <string_view>

#include "common/export/ExportRecord.h"
#include "common/export/ExportSink.h"

namespace lazrine::exporting {

// Writes contacts as vCard 3.0 (RFC 2426), one VCARD each, in UTF-8 with
// CR LF line ends. Texts are escaped (backslash, comma, semicolon, line
// breaks as \n) and lines are folded at 75 octets, never inside a UTF-8
// character. Control characters other than line breaks and tabs, which a
// vCard cannot carry, are left out.
class VCardWriter {
public:
    static constexpr std::size_t kLineOctets = 75;

    explicit VCardWriter(ExportSink& sink) : m_sink(sink) {}

    bool Write(const ExportContact& contact);

    // A text value with its special characters escaped.
    static std::string EscapeText(std::string_view text);
    // One content line, folded, each physical line ending in CR LF.
    static std::string Fold(std::string_view line);

private:
    ExportSink& m_sink;
};

}  // namespace lazrine::exporting
