#include "common/palm/database/PmJetPages.h"

#include <xxhash.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace lazrine::palm {
namespace {

// Pages read per step of the load: a quarter of a megabyte of 4 KB pages.
constexpr std::size_t kLoadChunkPages = 64;
constexpr std::size_t kVersionOffset = 0x14;

std::size_t PageSizeOf(std::span<const std::uint8_t> head) {
    if (head.size() < kVersionOffset + 4) {
        return 4096;
    }
    const std::uint32_t version = static_cast<std::uint32_t>(head[kVersionOffset]) |
                                  (static_cast<std::uint32_t>(head[kVersionOffset + 1]) << 8) |
                                  (static_cast<std::uint32_t>(head[kVersionOffset + 2]) << 16) |
                                  (static_cast<std::uint32_t>(head[kVersionOffset + 3]) << 24);
    return version == 0 ? 2048 : 4096;
}

}  // namespace

PmJetPages::~PmJetPages() { CloseFile(); }

void PmJetPages::Clear() {
    CloseFile();
    m_nHolds = 0;
    m_szPath.clear();
    m_Memory.clear();
    m_Memory.shrink_to_fit();
    m_nSize = 0;
    m_nPageSize = 4096;
    m_Loaded = platform::FileFingerprint{};
    m_Facts = platform::FileIo::Facts{};
    m_Hashes.clear();
    m_Hashes.shrink_to_fit();
    m_Cache.clear();
    m_Failure.Clear();
    m_bChanged = false;
    m_pMirror = nullptr;
}

void PmJetPages::Assign(std::vector<std::uint8_t> bytes) {
    Clear();
    m_Memory = std::move(bytes);
    m_nSize = m_Memory.size();
    m_nPageSize = PageSizeOf(m_Memory);
}

bool PmJetPages::Load(const std::string& path, platform::IoError& error) {
    Clear();
    if (path.empty()) {
        return error.Fail(platform::IoFailure::kOther, "no file name given");
    }
    platform::FileIo& io = platform::FileIo::Instance();
    platform::FileIo::Handle h = platform::FileIo::kInvalid;
    if (!io.OpenLocked(path, h, &error)) {
        return false;
    }
    platform::FileIo::Facts facts;
    bool ok = io.InspectOpen(h, facts, &error);
    platform::FileFingerprint::Builder fingerprint;
    std::vector<std::uint8_t> chunk;
    for (std::uint64_t offset = 0; ok && offset < facts.nSize;) {
        if (chunk.empty()) {
            // The first page names the page size the rest is hashed by.
            chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(facts.nSize, kVersionOffset + 4)));
            ok = io.ReadAt(h, 0, chunk, &error);
            m_nPageSize = PageSizeOf(chunk);
            chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(facts.nSize, kLoadChunkPages * m_nPageSize)));
        }
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(facts.nSize - offset, chunk.size()));
        const std::span<std::uint8_t> part(chunk.data(), n);
        if (!ok || !io.ReadAt(h, offset, part, &error)) {
            ok = false;
            break;
        }
        fingerprint.Add(part);
        for (std::size_t at = 0; at < n; at += m_nPageSize) {
            const std::size_t length = std::min(m_nPageSize, n - at);
            m_Hashes.push_back(XXH3_64bits(part.data() + at, length));
        }
        offset += n;
    }
    platform::FileIo::Facts after;
    ok = ok && io.InspectOpen(h, after, &error);
    io.Close(h, nullptr);
    if (ok && (after.nSize != facts.nSize || after.nModifiedNs != facts.nModifiedNs)) {
        ok = error.Fail(platform::IoFailure::kChangedSinceLoaded, kChangedText);
    }
    if (!ok) {
        Clear();
        return false;
    }
    m_szPath = path;
    m_nSize = facts.nSize;
    m_Facts = after;
    m_Loaded = fingerprint.Finish(after);
    return true;
}

bool PmJetPages::Fail(platform::IoError error) const {
    m_Failure = std::move(error);
    return false;
}

bool PmJetPages::Changed() const {
    m_bChanged = true;
    return Fail({platform::IoFailure::kChangedSinceLoaded, kChangedText});
}

void PmJetPages::ClearFailure() const {
    if (!m_bChanged) {
        m_Failure.Clear();
    }
}

bool PmJetPages::OpenFile() const {
    platform::FileIo& io = platform::FileIo::Instance();
    platform::IoError error;
    platform::FileIo::Facts facts;
    platform::FileIo::Handle h = platform::FileIo::kInvalid;
    if (!io.OpenLocked(m_szPath, h, &error)) {
        return Fail(std::move(error));
    }
    if (!io.InspectOpen(h, facts, &error)) {
        io.Close(h, nullptr);
        return Fail(std::move(error));
    }
    // Another file at the name, or the file grown or cut, is another version.
    if (facts.nSize != m_nSize || (m_Facts.nFileId != 0 && !facts.IsSameFile(m_Facts))) {
        io.Close(h, nullptr);
        return Changed();
    }
    m_pIo = &io;
    m_nHandle = h;
    return true;
}

bool PmJetPages::CloseFile() const {
    platform::FileIo* io = m_pIo;
    m_pIo = nullptr;
    platform::IoError error;
    if (io != nullptr && !io->Close(std::exchange(m_nHandle, platform::FileIo::kInvalid), &error)) {
        return Fail(std::move(error));
    }
    return true;
}

void PmJetPages::Hold() const { ++m_nHolds; }

bool PmJetPages::Release() const {
    return m_nHolds == 0 || --m_nHolds != 0 || CloseFile();
}

bool PmJetPages::Fetch(std::uint32_t n, std::shared_ptr<std::vector<std::uint8_t>>& page) const {
    if (m_bChanged) {
        return Changed();
    }
    if (m_pIo == nullptr && !OpenFile()) {
        return false;
    }
    if (!page || page.use_count() != 1) {
        page = std::make_shared<std::vector<std::uint8_t>>(m_nPageSize);
    }
    platform::IoError error;
    const bool read = m_pIo->ReadAt(m_nHandle, static_cast<std::uint64_t>(n) * m_nPageSize, *page, &error);
    if (!read) {
        if (m_nHolds == 0) {
            CloseFile();
        }
        return Fail(std::move(error));
    }
    if (m_nHolds == 0 && !CloseFile()) {
        return false;
    }
    if (XXH3_64bits(page->data(), page->size()) != m_Hashes[n]) {
        return Changed();
    }
    return true;
}

bool PmJetPages::Read(std::uint32_t n, Page& out) const {
    out = Page{};
    if (n >= PageCount()) {
        return false;
    }
    if (!InFile()) {
        out.bytes = std::span<const std::uint8_t>(m_Memory).subspan(static_cast<std::size_t>(n) * m_nPageSize, m_nPageSize);
        return true;
    }
    // Readers ask for the same page many times in a row.
    auto hit = m_nLast < m_Cache.size() && m_Cache[m_nLast].nPage == n
                   ? m_Cache.begin() + static_cast<std::ptrdiff_t>(m_nLast)
                   : std::find_if(m_Cache.begin(), m_Cache.end(), [n](const Cached& c) { return c.nPage == n; });
    if (hit == m_Cache.end()) {
        // The least recently used page makes room; its buffer is reused
        // unless a reader still holds it.
        if (m_Cache.size() < kCachePages) {
            hit = m_Cache.insert(m_Cache.end(), Cached{});
        } else {
            hit = std::min_element(m_Cache.begin(), m_Cache.end(),
                                   [](const Cached& a, const Cached& b) { return a.nUsed < b.nUsed; });
        }
        hit->nUsed = 0;
        if (!Fetch(n, hit->bytes)) {
            m_Cache.erase(hit);
            return false;
        }
        hit->nPage = n;
    }
    hit->nUsed = ++m_nTick;
    m_nLast = static_cast<std::size_t>(hit - m_Cache.begin());
    out.hold = hit->bytes;
    out.bytes = *hit->bytes;
    if (m_pMirror != nullptr) {
        std::memcpy(m_pMirror + static_cast<std::size_t>(n) * m_nPageSize, out.bytes.data(), m_nPageSize);
    }
    return true;
}

bool PmJetPages::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    for (std::size_t done = 0; done < out.size();) {
        const std::uint64_t at = offset + done;
        Page page;
        if (at / m_nPageSize > UINT32_MAX || !Read(static_cast<std::uint32_t>(at / m_nPageSize), page)) {
            return false;
        }
        const std::size_t within = static_cast<std::size_t>(at % m_nPageSize);
        const std::size_t n = std::min(out.size() - done, m_nPageSize - within);
        std::memcpy(out.data() + done, page.bytes.data() + within, n);
        done += n;
    }
    return true;
}

void PmJetPages::MirrorInto(std::uint8_t* buffer) const { m_pMirror = buffer; }

void PmJetPages::Replace(std::uint32_t n, std::span<const std::uint8_t> bytes) {
    if (n >= PageCount() || bytes.size() != m_nPageSize) {
        return;
    }
    if (!InFile()) {
        std::copy(bytes.begin(), bytes.end(), m_Memory.begin() + static_cast<std::ptrdiff_t>(n * m_nPageSize));
        return;
    }
    m_Hashes[n] = XXH3_64bits(bytes.data(), bytes.size());
    std::erase_if(m_Cache, [n](const Cached& c) { return c.nPage == n; });
}

}  // namespace lazrine::palm
