#include "support/MemoryFileIo.h"

namespace lazrine::testing {
namespace {

bool Refuse(std::string* error, const std::string& why) {
    if (error != nullptr) {
        *error = why;
    }
    return false;
}

}  // namespace

void MemoryFileIo::Put(const std::string& path, std::span<const std::uint8_t> bytes) {
    m_Files[path].assign(bytes.begin(), bytes.end());
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

MemoryFileIo::OpenFile* MemoryFileIo::Find(Handle h, std::string* error) {
    const auto it = m_Handles.find(h);
    if (it == m_Handles.end()) {
        Refuse(error, "bad handle");
        return nullptr;
    }
    return &it->second;
}

bool MemoryFileIo::OpenLocked(const std::string& path, Handle& out, std::string* error) {
    out = kInvalid;
    if (m_Files.count(path) == 0) {
        return Refuse(error, "cannot open '" + path + "': no such file");
    }
    if (m_Locked.count(path) != 0) {
        return Refuse(error, "the file '" + path + "' is locked by another program");
    }
    m_Locked.insert(path);
    out = m_nNextHandle++;
    m_Handles[out] = OpenFile{path, 0, true};
    return true;
}

bool MemoryFileIo::CreateNew(const std::string& path, const std::string& /*modeFrom*/, Handle& out,
                             std::string* error) {
    out = kInvalid;
    if (m_Files.count(path) != 0) {
        return Refuse(error, "cannot create '" + path + "': file exists");
    }
    m_Files[path];
    out = m_nNextHandle++;
    m_Handles[out] = OpenFile{path, 0, false};
    return true;
}

bool MemoryFileIo::ReadAll(Handle h, std::vector<std::uint8_t>& out, std::string* error) {
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

bool MemoryFileIo::Write(Handle h, std::span<const std::uint8_t> data, std::string* error) {
    OpenFile* file = Find(h, error);
    if (file == nullptr) {
        return false;
    }
    auto& bytes = m_Files[file->path];
    bytes.insert(bytes.end(), data.begin(), data.end());
    return true;
}

bool MemoryFileIo::Flush(Handle h, std::string* error) { return Find(h, error) != nullptr; }

bool MemoryFileIo::Close(Handle h, std::string* error) {
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

bool MemoryFileIo::Rename(const std::string& from, const std::string& to, std::string* error) {
    const auto it = m_Files.find(from);
    if (it == m_Files.end()) {
        return Refuse(error, "cannot rename '" + from + "': no such file");
    }
    std::vector<std::uint8_t> bytes = std::move(it->second);
    m_Files.erase(it);
    m_Files[to] = std::move(bytes);
    return true;
}

bool MemoryFileIo::FlushFolderOf(const std::string& /*path*/, std::string* /*error*/) { return true; }

bool MemoryFileIo::Remove(const std::string& path) { return m_Files.erase(path) != 0; }

bool MemoryFileIo::Exists(const std::string& path) { return m_Files.count(path) != 0; }

namespace {

bool RefuseInPlace(std::string* error) {
    if (error != nullptr) {
        *error = "files in memory are not written in place";
    }
    return false;
}

}  // namespace

bool MemoryFileIo::OpenLockedReadWrite(const std::string& /*path*/, Handle& out, std::string* error) {
    out = kInvalid;
    return RefuseInPlace(error);
}

bool MemoryFileIo::Size(Handle /*h*/, std::uint64_t& /*size*/, std::string* error) { return RefuseInPlace(error); }

bool MemoryFileIo::ReadAt(Handle /*h*/, std::uint64_t /*offset*/, std::span<std::uint8_t> /*out*/,
                          std::string* error) {
    return RefuseInPlace(error);
}

bool MemoryFileIo::WriteAt(Handle /*h*/, std::uint64_t /*offset*/, std::span<const std::uint8_t> /*data*/,
                           std::string* error) {
    return RefuseInPlace(error);
}

}  // namespace lazrine::testing
