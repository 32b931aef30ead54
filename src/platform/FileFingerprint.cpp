#include "platform/FileFingerprint.h"

#include <algorithm>
#include <cstdlib>
#include <vector>
#include <xxhash.h>

namespace lazrine::platform {

FileFingerprint FileFingerprint::Of(std::span<const std::uint8_t> bytes, const FileIo::Facts& facts) {
    FileFingerprint f;
    f.m_bKnown = true;
    f.m_nSize = bytes.size();
    f.m_nModifiedNs = facts.nModifiedNs;
    f.m_nHash = XXH3_64bits(bytes.data(), bytes.size());
    return f;
}

FileFingerprint::Builder::Builder() : m_pState(XXH3_createState()) {
    if (m_pState == nullptr) {
        std::abort();  // out of memory for a few hundred bytes: nothing sensible is left to do
    }
    XXH3_64bits_reset(m_pState);
}

FileFingerprint::Builder::~Builder() { XXH3_freeState(m_pState); }

void FileFingerprint::Builder::Add(std::span<const std::uint8_t> piece) {
    XXH3_64bits_update(m_pState, piece.data(), piece.size());
    m_nSize += piece.size();
}

FileFingerprint FileFingerprint::Builder::Finish(const FileIo::Facts& facts) const {
    FileFingerprint f;
    f.m_bKnown = true;
    f.m_nSize = m_nSize;
    f.m_nModifiedNs = facts.nModifiedNs;
    f.m_nHash = XXH3_64bits_digest(m_pState);
    return f;
}

bool FileFingerprint::OfOpenFile(FileIo& io, FileIo::Handle h, FileFingerprint& out, IoError* error) {
    out = FileFingerprint{};
    FileIo::Facts facts;
    if (!io.InspectOpen(h, facts, error)) {
        return false;
    }
    Builder builder;
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(facts.nSize, kChunk)));
    for (std::uint64_t offset = 0; offset < facts.nSize;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(facts.nSize - offset, chunk.size()));
        const std::span<std::uint8_t> part(chunk.data(), n);
        if (!io.ReadAt(h, offset, part, error)) {
            return false;
        }
        builder.Add(part);
        offset += n;
    }
    out = builder.Finish(facts);
    return true;
}

}  // namespace lazrine::platform
