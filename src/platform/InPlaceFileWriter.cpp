#include "platform/InPlaceFileWriter.h"

namespace lazrine::platform {
namespace {

bool NotOpen(std::string& error) {
    error = "no file is open";
    return false;
}

}  // namespace

InPlaceFileWriter::~InPlaceFileWriter() {
    std::string ignored;
    Close(ignored);
}

bool InPlaceFileWriter::Open(const std::string& path, std::string& error) {
    std::string ignored;
    Close(ignored);
    FileIo& io = FileIo::Instance();
    // A file marked read-only is refused even where our rights would let
    // us write it, as Windows refuses it. A link is followed to its target.
    FileIo::Facts facts;
    std::string target = path;
    if (!io.Inspect(path, facts, &error) ||
        (facts.nKind == FileIo::Facts::Kind::kLink &&
         (!io.ResolveLinks(path, target, &error) || !io.Inspect(target, facts, &error)))) {
        return false;
    }
    if (facts.nKind == FileIo::Facts::Kind::kRegular && !facts.bWritable) {
        error = path + " is read-only; it was not changed";
        return false;
    }
    FileIo::Handle handle = FileIo::kInvalid;
    if (!io.OpenLockedReadWrite(path, handle, &error)) {
        return false;
    }
    m_pIo = &io;
    m_nHandle = handle;
    m_szPath = path;
    return true;
}

bool InPlaceFileWriter::Size(std::uint64_t& size, std::string& error) const {
    if (m_pIo == nullptr) {
        return NotOpen(error);
    }
    return m_pIo->Size(m_nHandle, size, &error);
}

bool InPlaceFileWriter::ReadAll(std::vector<std::uint8_t>& out, std::string& error) const {
    std::uint64_t size = 0;
    if (!Size(size, error)) {
        return false;
    }
    out.assign(static_cast<std::size_t>(size), 0);
    return ReadAt(0, out, error);
}

bool InPlaceFileWriter::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out, std::string& error) const {
    if (m_pIo == nullptr) {
        return NotOpen(error);
    }
    if (out.empty()) {
        return true;
    }
    return m_pIo->ReadAt(m_nHandle, offset, out, &error);
}

bool InPlaceFileWriter::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> data, std::string& error) {
    std::uint64_t size = 0;
    if (!Size(size, error)) {
        return false;
    }
    if (offset > size || data.size() > size - offset) {
        error = "a write would extend '" + m_szPath + "'";
        return false;
    }
    if (data.empty()) {
        return true;
    }
    return m_pIo->WriteAt(m_nHandle, offset, data, &error);
}

bool InPlaceFileWriter::Flush(std::string& error) {
    if (m_pIo == nullptr) {
        return NotOpen(error);
    }
    return m_pIo->Flush(m_nHandle, &error);
}

bool InPlaceFileWriter::StillNamed(std::string& error) const {
    if (m_pIo == nullptr) {
        return NotOpen(error);
    }
    bool same = false;
    if (!m_pIo->NamesOpenFile(m_szPath, m_nHandle, same, &error)) {
        return false;
    }
    if (!same) {
        error = "'" + m_szPath + "' no longer names the file that was opened: another program replaced or removed it";
        return false;
    }
    return true;
}

bool InPlaceFileWriter::Close(std::string& error) {
    if (m_pIo == nullptr) {
        return true;
    }
    FileIo* io = m_pIo;
    const FileIo::Handle handle = m_nHandle;
    m_pIo = nullptr;
    m_nHandle = FileIo::kInvalid;
    return io->Close(handle, &error);
}

}  // namespace lazrine::platform
