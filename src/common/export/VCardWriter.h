#pragma once

#include <string>
#include <string_view>

#include "common/export/ExportRecord.h"
#include "common/export/ExportSink.h"

namespace lazrine::exporting {

// Writes contacts as vCard 3.0 (RFC 2426), one VCARD each, in UTF-8 with
// CR LF line ends. Texts are escaped (backslash, comma, semicolon, line
// breaks as \n) and lines are folded at 75 octets, never inside a UTF-8
// character. Control characters other than line breaks and tabs, NUL
// among them, which a vCard cannot carry, are left out; the text around
// them is kept.
//
// Every non-empty text of a contact is written:
//   N (last; first; middle; prefix; suffix), FN (the names, else the
//   company, else an e-mail, else a phone, else "(no name)"), NICKNAME, ORG,
//   TITLE, ROLE (profession), BDAY and X-ANNIVERSARY (dates), NOTE, URL,
//   CATEGORIES (the category's whole name; none for Unfiled), CLASS:PRIVATE
//   for a private contact, UID.
//   Each phone and e-mail, several of one type included: TEL;TYPE= with
//   vCard 3.0 types only (WORK,VOICE; HOME,VOICE; FAX; CELL; PAGER; VOICE
//   for main, other, the assistant and unknown labels) and EMAIL;TYPE=
//   INTERNET (INTERNET,WORK for the database's work e-mail).
//   Addresses: ADR;TYPE=WORK, HOME, and POSTAL for the other address.
//   Chat names: X-AIM, X-MSN, X-YAHOO or X-ICQ by their label, else
//   X-LAZRINE-CHAT. The assistant's name: X-LAZRINE-ASSISTANT. Custom
//   fields: X-LAZRINE-CUSTOM.
// Palm's own label goes with every TEL, EMAIL, ADR, chat and custom
// property as the parameter X-LABEL (X-LABEL=Main, X-LABEL=Other Fax,
// X-LABEL=Chat 1, X-LABEL=<the custom field's label>), so that nothing the
// standard types cannot say is lost, and readers that do not know it
// ignore it.
class VCardWriter {
public:
    static constexpr std::size_t kLineOctets = 75;

    explicit VCardWriter(ExportSink& sink) : m_sink(sink) {}

    bool Write(const ExportContact& contact);

    // The FN of a contact, never empty.
    static std::string FormattedName(const ExportContact& contact);
    // A text value with its special characters escaped.
    static std::string EscapeText(std::string_view text);
    // One content line, folded, each physical line ending in CR LF.
    static std::string Fold(std::string_view line);

private:
    ExportSink& m_sink;
};

}  // namespace lazrine::exporting
