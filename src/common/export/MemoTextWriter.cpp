#include "common/export/MemoTextWriter.h"

namespace lazrine::exporting {

bool MemoTextWriter::Write(const ExportMemo& memo) {
    if (!m_bFirst && !(m_sink.Write(kSeparator) && m_sink.Write("\n"))) {
        return false;
    }
    m_bFirst = false;
    return m_sink.Write(memo.szText) && m_sink.Write("\n");
}

}  // namespace lazrine::exporting
