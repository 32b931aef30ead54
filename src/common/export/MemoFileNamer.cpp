#include "common/export/MemoFileNamer.h"

#include <array>
#include <cctype>

namespace lazrine::exporting {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool IsDeviceName(const std::string& stem) {
    static const std::array<const char*, 4> plain{"con", "prn", "aux", "nul"};
    // Windows takes the part before the first dot as the device name.
    const std::string base = Lower(stem.substr(0, stem.find('.')));
    for (const char* name : plain) {
        if (base == name) {
            return true;
        }
    }
    return base.size() == 4 && (base.rfind("com", 0) == 0 || base.rfind("lpt", 0) == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

}  // namespace

std::string MemoFileNamer::SafeStem(std::string_view text) {
    const std::string_view line = text.substr(0, text.find_first_of("\r\n"));
    std::string stem;
    for (const char c : line) {
        const auto u = static_cast<unsigned char>(c);
        const bool bad = u < 0x20 || u == 0x7F || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
        stem += bad ? '_' : c;
        if (stem.size() > kMaxStem + 4) {
            break;
        }
    }
    // Cut to the limit on a character boundary.
    if (stem.size() > kMaxStem) {
        std::size_t cut = kMaxStem;
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        stem.resize(cut);
    }
    const auto first = stem.find_first_not_of(" .");
    stem.erase(0, first == std::string::npos ? stem.size() : first);
    while (!stem.empty() && (stem.back() == ' ' || stem.back() == '.')) {
        stem.pop_back();
    }
    if (stem.empty()) {
        return "Memo";
    }
    if (IsDeviceName(stem)) {
        stem = "_" + stem;
    }
    return stem;
}

std::string MemoFileNamer::Next(std::string_view text) {
    const std::string stem = SafeStem(text);
    std::string name = stem + ".txt";
    for (int n = 2; m_Taken.count(Lower(name)) != 0 || (m_exists && m_exists(name)); ++n) {
        name = stem + " (" + std::to_string(n) + ").txt";
    }
    m_Taken.insert(Lower(name));
    return name;
}

}  // namespace lazrine::exporting
