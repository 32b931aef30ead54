#include "VCardReader.h"

#include <cctype>

namespace lazrine::testing {
namespace {

std::string Upper(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

// Splits at `sep` where it is not escaped by a backslash.
std::vector<std::string> SplitUnescaped(const std::string& value, char sep) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            parts.back() += value[i];
            parts.back() += value[++i];
        } else if (value[i] == sep) {
            parts.emplace_back();
        } else {
            parts.back() += value[i];
        }
    }
    return parts;
}

}  // namespace

std::string VCardReader::Unescape(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            out += (next == 'n' || next == 'N') ? '\n' : next;
        } else {
            out += value[i];
        }
    }
    return out;
}

std::string VCardReader::Line::Text() const { return Unescape(raw); }

std::vector<std::string> VCardReader::Line::Components() const {
    std::vector<std::string> parts = SplitUnescaped(raw, ';');
    for (auto& part : parts) {
        part = Unescape(part);
    }
    return parts;
}

const VCardReader::Line* VCardReader::Card::Find(const std::string& name, const std::string& type) const {
    for (const Line& line : lines) {
        if (line.name != name) {
            continue;
        }
        const auto it = line.params.find("TYPE");
        if (type.empty() || (it != line.params.end() && Upper(it->second).find(Upper(type)) != std::string::npos)) {
            return &line;
        }
    }
    return nullptr;
}

std::vector<const VCardReader::Line*> VCardReader::Card::FindAll(const std::string& name) const {
    std::vector<const Line*> found;
    for (const Line& line : lines) {
        if (line.name == name) {
            found.push_back(&line);
        }
    }
    return found;
}

bool VCardReader::Parse(const std::string& text, std::vector<Card>& cards, std::string& error) const {
    // Physical lines, each ending in CR LF.
    std::vector<std::string> physical;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto end = text.find("\r\n", at);
        if (end == std::string::npos) {
            error = "a line does not end in CR LF";
            return false;
        }
        const std::string line = text.substr(at, end - at);
        if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos) {
            error = "a bare line break inside a line: " + line;
            return false;
        }
        if (line.size() > 75) {
            error = "a line longer than 75 octets: " + line;
            return false;
        }
        physical.push_back(line);
        at = end + 2;
    }
    // Unfold; a fold must not split a UTF-8 character.
    std::vector<std::string> logical;
    for (const std::string& line : physical) {
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
            if (logical.empty()) {
                error = "a continuation line first";
                return false;
            }
            if (line.size() > 1 && (static_cast<unsigned char>(line[1]) & 0xC0) == 0x80) {
                error = "a fold inside a UTF-8 character";
                return false;
            }
            logical.back() += line.substr(1);
        } else {
            logical.push_back(line);
        }
    }
    Card* card = nullptr;
    for (const std::string& line : logical) {
        // The colon that ends the name and parameters is the first one
        // outside a quoted parameter value.
        bool quoted = false;
        std::size_t colon = std::string::npos;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '"') {
                quoted = !quoted;
            } else if (line[i] == ':' && !quoted) {
                colon = i;
                break;
            }
        }
        if (colon == std::string::npos) {
            error = "a line without a value: " + line;
            return false;
        }
        Line parsed;
        parsed.raw = line.substr(colon + 1);
        std::vector<std::string> head;
        std::string part;
        quoted = false;
        for (const char c : line.substr(0, colon)) {
            if (c == '"') {
                quoted = !quoted;
                continue;
            }
            if (c == ';' && !quoted) {
                head.push_back(part);
                part.clear();
            } else {
                part += c;
            }
        }
        head.push_back(part);
        parsed.name = Upper(head[0]);
        for (std::size_t k = 1; k < head.size(); ++k) {
            const auto eq = head[k].find('=');
            parsed.params[Upper(head[k].substr(0, eq))] = eq == std::string::npos ? "" : head[k].substr(eq + 1);
        }
        if (parsed.name == "BEGIN" && Upper(parsed.raw) == "VCARD") {
            cards.emplace_back();
            card = &cards.back();
        }
        if (card == nullptr) {
            error = "a line outside a card: " + line;
            return false;
        }
        card->lines.push_back(parsed);
        if (parsed.name == "END") {
            if (card->Find("VERSION") == nullptr || card->Find("VERSION")->raw != "3.0" || card->Find("FN") == nullptr) {
                error = "a card without VERSION:3.0 or FN";
                return false;
            }
            card = nullptr;
        }
    }
    if (card != nullptr) {
        error = "a card without END";
        return false;
    }
    return true;
}

}  // namespace lazrine::testing
