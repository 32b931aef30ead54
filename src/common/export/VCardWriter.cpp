#include "common/export/VCardWriter.h"

#include <initializer_list>
#include <utility>

namespace lazrine::exporting {
namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// A parameter value: quoted when it holds a separator; double quotes and
// control characters, which no parameter value can hold, become blanks.
std::string ParamValue(std::string_view text) {
    std::string value;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        value += (c == '"' || u < 0x20 || u == 0x7F) ? ' ' : c;
    }
    if (value.find_first_of(",;:") != std::string::npos) {
        return "\"" + value + "\"";
    }
    return value;
}

std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string out;
    bool first = true;
    for (const std::string_view part : parts) {
        if (!first) {
            out += ';';
        }
        out += VCardWriter::EscapeText(part);
        first = false;
    }
    return out;
}

bool IsEmpty(const ExportAddress& a) {
    return a.szStreet.empty() && a.szCity.empty() && a.szState.empty() && a.szPostal.empty() && a.szCountry.empty();
}

}  // namespace

std::string VCardWriter::EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case ',':
                out += "\\,";
                break;
            case ';':
                out += "\\;";
                break;
            case '\r':
                // CR LF, a lone CR and a lone LF are each one line break.
                if (i + 1 < text.size() && text[i + 1] == '\n') {
                    ++i;
                }
                out += "\\n";
                break;
            case '\n':
                out += "\\n";
                break;
            default: {
                const auto u = static_cast<unsigned char>(c);
                if ((u < 0x20 && c != '\t') || u == 0x7F) {
                    break;
                }
                out += c;
            }
        }
    }
    return out;
}

std::string VCardWriter::Fold(std::string_view line) {
    std::string out;
    std::size_t room = kLineOctets;
    while (line.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && IsContinuation(line[cut])) {
            --cut;
        }
        if (cut == 0) {
            cut = room;  // not UTF-8: any cut keeps every byte
        }
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        room = kLineOctets - 1;
    }
    out.append(line);
    out += "\r\n";
    return out;
}

bool VCardWriter::Write(const ExportContact& contact) {
    const ExportContact& r = contact;
    std::string card;
    const auto add = [&card](std::string_view name, const std::string& value) { card += Fold(std::string(name) + ":" + value); };
    const auto addText = [&add](std::string_view name, const std::string& text) {
        if (!text.empty()) {
            add(name, EscapeText(text));
        }
    };
    add("BEGIN", "VCARD");
    add("VERSION", "3.0");
    add("N", Joined({r.szLastName, r.szFirstName, "", "", ""}));
    std::string fn = r.szFirstName;
    if (!r.szLastName.empty()) {
        fn += (fn.empty() ? "" : " ") + r.szLastName;
    }
    if (fn.empty()) {
        fn = r.szCompany;
    }
    add("FN", EscapeText(fn));
    if (!r.szCompany.empty()) {
        add("ORG", EscapeText(r.szCompany));
    }
    addText("TITLE", r.szTitle);
    const std::pair<const char*, const std::string*> phones[] = {
        {"TEL;TYPE=WORK,VOICE", &r.szWorkPhone}, {"TEL;TYPE=HOME,VOICE", &r.szHomePhone},
        {"TEL;TYPE=CELL", &r.szMobilePhone},     {"TEL;TYPE=FAX", &r.szFax},
        {"TEL;TYPE=PAGER", &r.szPager},          {"TEL;TYPE=MAIN", &r.szMainPhone},
        {"TEL;TYPE=OTHER", &r.szOtherPhone},
    };
    for (const auto& [name, text] : phones) {
        addText(name, *text);
    }
    addText("EMAIL;TYPE=INTERNET", r.szEmail);
    const std::pair<const char*, const ExportAddress*> addresses[] = {
        {"ADR;TYPE=WORK", &r.Work}, {"ADR;TYPE=HOME", &r.Home}, {"ADR;TYPE=OTHER", &r.Other}};
    for (const auto& [name, a] : addresses) {
        if (!IsEmpty(*a)) {
            add(name, Joined({"", "", a->szStreet, a->szCity, a->szState, a->szPostal, a->szCountry}));
        }
    }
    addText("URL", r.szHomePage);
    addText("NOTE", r.szNote);
    addText("CATEGORIES", r.szCategory);
    for (std::size_t k = 0; k < r.aCustom.size(); ++k) {
        if (!r.aCustom[k].empty()) {
            add("X-PALM-CUSTOM" + std::to_string(k + 1) + ";X-LABEL=" + ParamValue(contact.aCustomLabels[k]),
                EscapeText(r.aCustom[k]));
        }
    }
    add("UID", contact.szUid);
    add("END", "VCARD");
    return m_sink.Write(card);
}

}  // namespace lazrine::exporting
