#pragma once

#include <string>
#include <string_view>

#include "common/export/ExportRecord.h"
#include "common/export/ExportSink.h"

namespace lazrine::exporting {

// Writes memos as plain UTF-8 text with LF line ends throughout (a memo's
// CR LF and lone CR become LF): each memo's part is a line
// kCategoryLabel + its category name when it has a category, then its
// text, then one line feed; between two parts the separator line.
class MemoTextWriter {
public:
    static constexpr const char* kSeparator = "----------------------------------------";
    static constexpr std::string_view kCategoryLabel = "Category: ";

    explicit MemoTextWriter(ExportSink& sink) : m_sink(sink) {}

    bool Write(const ExportMemo& memo);
    // `text` with LF line ends: CR LF and a lone CR become LF.
    static std::string Lines(std::string_view text);

private:
    ExportSink& m_sink;
    bool m_bFirst = true;
};

}  // namespace lazrine::exporting
