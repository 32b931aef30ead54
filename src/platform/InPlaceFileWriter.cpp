#include "platform/InPlaceFileWriter.h"

#include "platform/AtomicFile.h"

namespace lazrine::platform {
namespace {

bool NotOpen(IoError& error) {
    return error.Fail(IoFailure::kOther, "no file is open");
}

}  // namespace

InPlaceFileWriter::~InPlaceFileWriter() {
    IoError ignored;
    Close(ignored);
}

bool InPlaceFileWriter::Open(const std::string& path, IoError& error) {
    IoError ignored;
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
        return error.Fail(IoFailure::kOther, path + " is read-only; it was not changed");
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

bool InPlaceFileWriter::Size(std::uint64_t& size, IoError& error) const {
    if (m_pIo == nullptr) {
        return NotOpen(error);
    }
    return m_pIo->Size(m_nHandle, size, &error);
}

bool InPlaceFileWriter::ReadAll(std::vector<std::uint8_t>& out, IoError& error) const {
    std::uint64_t size = 0;
    if (!Size(size, error)) {
        return false;
    }
    out.assign(static_cast<std::size_t>(size), 0);
    return ReadAt(0, out, error);
}

bool InPlaceFileWriter::Fingerprint(FileFingerprint& out, IoError& error) const {
    if (m_pIo == nullptr) {
        return NotOpen(error);
    }
    return FileFingerprint::OfOpenFile(*m_pIo, m_nHandle, out, &error);
}

bool InPlaceFileWriter::EnsureBackup(const FileFingerprint& expected, IoError& error) const {
    if (m_pIo == nullptr) {
        return NotOpen(error);
    }
    return AtomicFile::EnsureBackup(m_szPath, m_nHandle, expected, error);
}

bool InPlaceFileWriter::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out, IoError& error) const {
    if (m_pIo == nullptr) {
        return NotOpen(error);
    }
    if (out.empty()) {
        return true;
    }
    return m_pIo->ReadAt(m_nHandle, offset, out, &error);
}

bool InPlaceFileWriter::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> data, IoError& error) {
    std::uint64_t size = 0;
    if (!Size(size, error)) {
        return false;
    }
    if (offset > size || data.size() > size - offset) {
        return error.Fail(IoFailure::kOther, "a write would extend '" + m_szPath + "'");
    }
    if (data.empty()) {
        return true;
    }
    return m_pIo->WriteAt(m_nHandle, offset, data, &error);
}

bool InPlaceFileWriter::Flush(IoError& error) {
    if (m_pIo == nullptr) {
        return NotOpen(error);
    }
    return m_pIo->Flush(m_nHandle, &error);
}

bool InPlaceFileWriter::StillNamed(IoError& error) const {
    if (m_pIo == nullptr) {
        return NotOpen(error);
    }
    bool same = false;
    if (!m_pIo->NamesOpenFile(m_szPath, m_nHandle, same, &error)) {
        return false;
    }
    if (!same) {
        return error.Fail(IoFailure::kChangedSinceLoaded, "'" + m_szPath +
                                                              "' no longer names the file that was opened: another "
                                                              "program replaced or removed it");
    }
    return true;
}

bool InPlaceFileWriter::Close(IoError& error) {
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
