#pragma once

#include <ostream>

#include "common/export/ExportSink.h"

namespace lazrine::exporting {

// An export sink writing to a standard stream (the command line's output).
class ExportStreamSink : public ExportSink {
public:
    explicit ExportStreamSink(std::ostream& out) : m_out(out) {}
    bool Finish() override;

protected:
    bool Put(std::string_view text) override;

private:
    std::ostream& m_out;
};

}  // namespace lazrine::exporting
