#include "support/MemoryFileIo.h"

#include <algorithm>

namespace lazrine::testing {
namespace {

using platform::IoError;
using platform::IoFailure;

bool Refuse(platform::IoError* error, const std::string& why, IoFailure code = IoFailure::kOther) {
    return IoError::Fail(error, code, why);
}

}  // namespace

void MemoryFileIo::Put(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (m_Files.count(path) == 0) {
        m_Ids[path] = m_nNextId++;
    }
    m_Files[path].assign(bytes.begin(), bytes.end());
    ++m_Changes[path];
}

std::vector<std::uint8_t> MemoryFileIo::Get(const std::string& path) const {
    const auto it = m_Files.find(path);
    return it == m_Files.end() ? std::vector<std::uint8_t>{} : it->second;
}

std::vector<std::string> MemoryFileIo::Paths() const {
    std::vector<std::string> paths;
    for (const auto& [path, bytes] : m_Files) {
        paths.push_back(path);
    }
    return paths;
}

MemoryFileIo::OpenFile* MemoryFileIo::Find(Handle h, platform::IoError* error) {
    const auto it = m_Handles.find(h);
    if (it == m_Handles.end()) {
        Refuse(error, "bad handle");
        return nullptr;
    }
    return &it->second;
}

bool MemoryFileIo::OpenLocked(const std::string& path, Handle& out, platform::IoError* error) {
    out = kInvalid;
    if (m_Files.count(path) == 0) {
        return Refuse(error, "cannot open '" + path + "': no such file", IoFailure::kMissing);
    }
    if (m_Locked.count(path) != 0) {
        return Refuse(error, InUseText(path), IoFailure::kInUse);
    }
    m_Locked.insert(path);
    out = m_nNextHandle++;
    m_Handles[out] = OpenFile{path, 0, true, m_Ids[path]};
    return true;
}

bool MemoryFileIo::CreateNew(const std::string& path, const std::string& /*modeFrom*/, Handle& out,
                             platform::IoError* error) {
    out = kInvalid;
    if (m_Files.count(path) != 0) {
        return Refuse(error, "cannot create '" + path + "': file exists");
    }
    m_Files[path];
    m_Ids[path] = m_nNextId++;
    out = m_nNextHandle++;
    m_Handles[out] = OpenFile{path, 0, false, m_Ids[path]};
    return true;
}

bool MemoryFileIo::ReadAll(Handle h, std::vector<std::uint8_t>& out, platform::IoError* error) {
    OpenFile* file = Find(h, error);
    if (file == nullptr) {
        return false;
    }
    const auto& bytes = m_Files[file->path];
    const std::size_t from = file->readPos < bytes.size() ? file->readPos : bytes.size();
    out.assign(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end());
    file->readPos = bytes.size();
    return true;
}

bool MemoryFileIo::Write(Handle h, std::span<const std::uint8_t> data, platform::IoError* error) {
    OpenFile* file = Find(h, error);
    if (file == nullptr) {
        return false;
    }
    auto& bytes = m_Files[file->path];
    bytes.insert(bytes.end(), data.begin(), data.end());
    ++m_Changes[file->path];
    return true;
}

bool MemoryFileIo::Flush(Handle h, platform::IoError* error) { return Find(h, error) != nullptr; }

bool MemoryFileIo::Close(Handle h, platform::IoError* error) {
    if (h == kInvalid) {
        return true;
    }
    OpenFile* file = Find(h, error);
    if (file == nullptr) {
        return false;
    }
    if (file->locked) {
        m_Locked.erase(file->path);
    }
    m_Handles.erase(h);
    return true;
}

bool MemoryFileIo::Rename(const std::string& from, const std::string& to, platform::IoError* error) {
    const auto it = m_Files.find(from);
    if (it == m_Files.end()) {
        return Refuse(error, "cannot rename '" + from + "': no such file", IoFailure::kMissing);
    }
    std::vector<std::uint8_t> bytes = std::move(it->second);
    m_Files.erase(it);
    m_Files[to] = std::move(bytes);
    m_Changes[to] = m_Changes[from];
    m_Changes.erase(from);
    m_Ids[to] = m_Ids[from];
    m_Ids.erase(from);
    return true;
}

bool MemoryFileIo::FlushFolderOf(const std::string& /*path*/, IoError* /*error*/) { return true; }

bool MemoryFileIo::Remove(const std::string& path) {
    m_Changes.erase(path);
    m_Ids.erase(path);
    return m_Files.erase(path) != 0;
}

bool MemoryFileIo::Exists(const std::string& path) { return m_Files.count(path) != 0; }

namespace {

bool RefuseInPlace(platform::IoError* error) { return Refuse(error, "files in memory are not written in place"); }

}  // namespace

bool MemoryFileIo::OpenLockedReadWrite(const std::string& /*path*/, Handle& out, platform::IoError* error) {
    out = kInvalid;
    return RefuseInPlace(error);
}

bool MemoryFileIo::Size(Handle h, std::uint64_t& size, platform::IoError* error) {
    const OpenFile* file = Find(h, error);
    if (file == nullptr) {
        return false;
    }
    size = m_Files[file->path].size();
    return true;
}

bool MemoryFileIo::ReadAt(Handle h, std::uint64_t offset, std::span<std::uint8_t> out, platform::IoError* error) {
    const OpenFile* file = Find(h, error);
    if (file == nullptr) {
        return false;
    }
    const auto& bytes = m_Files[file->path];
    if (offset > bytes.size() || out.size() > bytes.size() - offset) {
        return Refuse(error, "unexpected end of the file");
    }
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return true;
}

MemoryFileIo::Facts MemoryFileIo::FactsOf(const std::string& path) const {
    Facts facts;
    const auto it = m_Files.find(path);
    if (it != m_Files.end()) {
        facts.nKind = Facts::Kind::kRegular;
        facts.nSize = it->second.size();
        const auto changes = m_Changes.find(path);
        facts.nModifiedNs = changes == m_Changes.end() ? 0 : changes->second;
        facts.nLinks = 1;
        facts.bWritable = true;
        facts.nVolume = 1;
        const auto id = m_Ids.find(path);
        facts.nFileId = id == m_Ids.end() ? 0 : id->second;
    }
    return facts;
}

bool MemoryFileIo::Inspect(const std::string& path, Facts& out, IoError* /*error*/) {
    out = FactsOf(path);
    return true;
}

bool MemoryFileIo::InspectOpen(Handle h, Facts& out, platform::IoError* error) {
    const OpenFile* file = Find(h, error);
    if (file == nullptr) {
        return false;
    }
    out = FactsOf(file->path);
    out.nFileId = file->id;
    return true;
}

bool MemoryFileIo::ResolveLinks(const std::string& path, std::string& target, IoError* /*error*/) {
    target = path;
    return true;
}

bool MemoryFileIo::WriteAt(Handle /*h*/, std::uint64_t /*offset*/, std::span<const std::uint8_t> /*data*/,
                           platform::IoError* error) {
    return RefuseInPlace(error);
}

}  // namespace lazrine::testing
