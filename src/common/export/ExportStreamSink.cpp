#include "common/export/ExportStreamSink.h"

namespace lazrine::exporting {

bool ExportStreamSink::Put(std::string_view text) {
    m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return m_out.good() || Fail("cannot write the output");
}

bool ExportStreamSink::Finish() {
    if (!Error().empty()) {
        return false;
    }
    m_out.flush();
    return m_out.good() || Fail("cannot write the output");
}

}  // namespace lazrine::exporting
