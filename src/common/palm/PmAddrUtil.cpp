#include "common/palm/PmAddrUtil.h"

namespace lazrine::palm {

const PmClassicFileFormat& PmAddrUtil::Format() {
    static const PmClassicFileFormat format{
        kVersionTag,
        PmSchema{74, 30, 0, 1, 2, {1, 1, 1, 5, 5, 5, 5, 1, 5, 1, 5, 1, 5, 1, 5, 1, 5, 5, 5, 5, 5, 5, 5, 6, 1, 5, 5, 5, 5, 1}},
        "address\\",
        "address.dat",
        0xFFFF,
        true,
    };
    return format;
}

std::array<std::string, PmAddrRec::kCustomCount> PmAddrUtil::CustomLabels(const std::string& headerText) {
    std::vector<std::string> lines(1);
    // Only the first lines matter: a long show header is not split.
    for (std::size_t i = 0; i < headerText.size() && lines.size() <= PmAddrRec::kCustomCount; ++i) {
        const char c = headerText[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < headerText.size() && headerText[i + 1] == '\n') {
                ++i;
            }
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    std::array<std::string, PmAddrRec::kCustomCount> labels{};
    // The custom names come first and the show header after them: a text of
    // fewer lines is a show header alone and names no custom field.
    if (lines.size() > labels.size()) {
        for (std::size_t i = 0; i < labels.size(); ++i) {
            labels[i] = lines[i];
        }
    }
    return labels;
}

}  // namespace lazrine::palm
