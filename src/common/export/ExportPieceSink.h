#pragma once

#include <string>

#include "common/export/ExportSink.h"
#include "platform/AtomicFile.h"

namespace lazrine::exporting {

// An export sink that gathers text into pieces of a fixed size and hands
// each full piece to a file being written (AtomicFile::Produce), so that
// memory stays bounded whatever the export's length.
class ExportPieceSink : public ExportSink {
public:
    static constexpr std::size_t kPieceSize = 64 * 1024;

    explicit ExportPieceSink(const platform::AtomicFile::PieceWriter& write) : m_write(write) {}
    bool Finish() override;

protected:
    bool Put(std::string_view text) override;

private:
    bool HandOn();

    const platform::AtomicFile::PieceWriter& m_write;
    std::string m_Piece;
};

}  // namespace lazrine::exporting
