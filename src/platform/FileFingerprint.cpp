#include "platform/FileFingerprint.h"

#include <algorithm>
#include <memory>
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

bool FileFingerprint::OfOpenFile(FileIo& io, FileIo::Handle h, FileFingerprint& out, std::string* error) {
    out = FileFingerprint{};
    FileIo::Facts facts;
    if (!io.InspectOpen(h, facts, error)) {
        return false;
    }
    const std::unique_ptr<XXH3_state_t, XXH_errorcode (*)(XXH3_state_t*)> state(XXH3_createState(),
                                                                               &XXH3_freeState);
    if (!state || XXH3_64bits_reset(state.get()) != XXH_OK) {
        if (error != nullptr) {
            *error = "not enough memory to check the file";
        }
        return false;
    }
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(facts.nSize, kChunk)));
    for (std::uint64_t offset = 0; offset < facts.nSize;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(facts.nSize - offset, chunk.size()));
        const std::span<std::uint8_t> part(chunk.data(), n);
        if (!io.ReadAt(h, offset, part, error)) {
            return false;
        }
        XXH3_64bits_update(state.get(), part.data(), part.size());
        offset += n;
    }
    out.m_bKnown = true;
    out.m_nSize = facts.nSize;
    out.m_nModifiedNs = facts.nModifiedNs;
    out.m_nHash = XXH3_64bits_digest(state.get());
    return true;
}

}  // namespace lazrine::platform
