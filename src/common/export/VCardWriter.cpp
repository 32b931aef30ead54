#include "common/export/VCardWriter.h"

#include <initializer_list>
#include <tuple>
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

// The TEL type of a phone label: vCard 3.0 types only, Palm's own label
// going with it as X-LABEL.
const char* PhoneType(std::int64_t label) {
    switch (label) {
        case 0:
            return "WORK,VOICE";
        case 1:
            return "HOME,VOICE";
        case 2:
            return "FAX";
        case 6:
            return "PAGER";
        case 7:
            return "CELL";
        default:
            return "VOICE";  // other, main and any unknown label
    }
}

// The property of a chat name: the one address books read for the known
// services, else this program's own.
std::string ChatProperty(std::int64_t label) {
    switch (label) {
        case 1:
            return "X-AIM";
        case 2:
            return "X-MSN";
        case 3:
            return "X-YAHOO";
        case 4:
            return "X-ICQ";
        default:
            return "X-LAZRINE-CHAT";
    }
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
    const auto labelled = [](std::string name, const std::string& label) { return name + ";X-LABEL=" + ParamValue(label); };
    add("BEGIN", "VCARD");
    add("VERSION", "3.0");
    add("N", Joined({r.szLastName, r.szFirstName, r.szMiddleName, r.szPrefix, r.szSuffix}));
    add("FN", EscapeText(FormattedName(r)));
    addText("NICKNAME", r.szNickName);
    // The readings as address books that sort Japanese names take them.
    addText("X-PHONETIC-LAST-NAME", r.szLastNameReading);
    addText("X-PHONETIC-FIRST-NAME", r.szFirstNameReading);
    addText("ORG", r.szCompany);
    addText("X-PHONETIC-ORG", r.szCompanyReading);
    addText("TITLE", r.szTitle);
    addText("ROLE", r.szProfession);
    if (!r.szBirthday.empty()) {
        add("BDAY;VALUE=DATE", r.szBirthday);
    }
    if (!r.szAnniversary.empty()) {
        add("X-ANNIVERSARY;VALUE=DATE", r.szAnniversary);
    }
    for (const ExportPhone& phone : r.Phones) {
        if (phone.nLabel == 4) {
            add(labelled(phone.bWork ? "EMAIL;TYPE=INTERNET,WORK" : "EMAIL;TYPE=INTERNET", phone.szLabel),
                EscapeText(phone.szText));
        } else {
            add(labelled(std::string("TEL;TYPE=") + PhoneType(phone.nLabel), phone.szLabel), EscapeText(phone.szText));
        }
    }
    const std::tuple<const char*, const char*, const ExportAddress*> addresses[] = {
        {"ADR;TYPE=WORK", "Work", &r.Work}, {"ADR;TYPE=HOME", "Home", &r.Home}, {"ADR;TYPE=POSTAL", "Other", &r.Other}};
    for (const auto& [name, label, a] : addresses) {
        if (!IsEmpty(*a)) {
            add(labelled(name, label), Joined({"", "", a->szStreet, a->szCity, a->szState, a->szPostal, a->szCountry}));
        }
    }
    addText("URL", r.szHomePage);
    for (std::size_t k = 0; k < r.aChats.size(); ++k) {
        if (!r.aChats[k].empty()) {
            add(labelled(ChatProperty(r.aChatLabels[k]), "Chat " + std::to_string(k + 1)), EscapeText(r.aChats[k]));
        }
    }
    addText("X-LAZRINE-ASSISTANT", r.szAssistant);
    addText("NOTE", r.szNote);
    addText("CATEGORIES", r.szCategory);
    if (r.bPrivate) {
        add("CLASS", "PRIVATE");
    }
    for (std::size_t k = 0; k < r.aCustom.size(); ++k) {
        if (!r.aCustom[k].empty()) {
            add(labelled("X-LAZRINE-CUSTOM", r.aCustomLabels[k]), EscapeText(r.aCustom[k]));
        }
    }
    add("UID", EscapeText(r.szUid));
    add("END", "VCARD");
    return m_sink.Write(card);
}

std::string VCardWriter::FormattedName(const ExportContact& r) {
    std::string name;
    for (const std::string* part : {&r.szPrefix, &r.szFirstName, &r.szMiddleName, &r.szLastName, &r.szSuffix}) {
        if (!part->empty()) {
            name += (name.empty() ? "" : " ") + *part;
        }
    }
    if (!EscapeText(name).empty()) {
        return name;
    }
    if (!EscapeText(r.szCompany).empty()) {
        return r.szCompany;
    }
    // An e-mail before a phone: it names a person better.
    for (const bool email : {true, false}) {
        for (const ExportPhone& phone : r.Phones) {
            if ((phone.nLabel == 4) == email && !EscapeText(phone.szText).empty()) {
                return phone.szText;
            }
        }
    }
    return "(no name)";
}

}  // namespace lazrine::exporting
