#pragma once

#include <string>

#include "common/export/ExportRecord.h"
#include "common/export/ExportSink.h"

namespace lazrine::exporting {

// Writes memos as plain UTF-8 text: each memo's text exactly as stored,
// followed by one line feed, and between two memos the separator line.
// A reader splits at "\n" + kSeparator + "\n" and drops the last line feed
// of each part to get every text back byte for byte.
class MemoTextWriter {
public:
    static constexpr const char* kSeparator = "----------------------------------------";

    explicit MemoTextWriter(ExportSink& sink) : m_sink(sink) {}

    bool Write(const ExportMemo& memo);

private:
    ExportSink& m_sink;
    bool m_bFirst = true;
};

}  // namespace lazrine::exporting
