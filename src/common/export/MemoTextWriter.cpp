#include "common/export/MemoTextWriter.h"

namespace lazrine::exporting {

std::string MemoTextWriter::Lines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            out += '\n';
        } else {
            out += text[i];
        }
    }
    return out;
}

bool MemoTextWriter::Write(const ExportMemo& memo) {
    if (!m_bFirst && !(m_sink.Write(kSeparator) && m_sink.Write("\n"))) {
        return false;
    }
    m_bFirst = false;
    if (!memo.szCategory.empty() && !m_sink.Write(std::string(kCategoryLabel) + Lines(memo.szCategory) + "\n")) {
        return false;
    }
    return m_sink.Write(Lines(memo.szText)) && m_sink.Write("\n");
}

}  // namespace lazrine::exporting
