#include "common/export/ExportPieceSink.h"

#include <cstdint>
#include <span>

namespace lazrine::exporting {

bool ExportPieceSink::HandOn() {
    std::string error;
    const std::span<const std::uint8_t> piece(reinterpret_cast<const std::uint8_t*>(m_Piece.data()), m_Piece.size());
    if (!m_write(piece, error)) {
        return Fail(error);
    }
    m_Piece.clear();
    return true;
}

bool ExportPieceSink::Put(std::string_view text) {
    m_Piece.append(text);
    return m_Piece.size() < kPieceSize || HandOn();
}

bool ExportPieceSink::Finish() {
    return Error().empty() && (m_Piece.empty() || HandOn());
}

}  // namespace lazrine::exporting
