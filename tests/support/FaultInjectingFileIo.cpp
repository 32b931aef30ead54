#include "support/FaultInjectingFileIo.h"

#include <cstdlib>

namespace lazrine::testing {

void FaultInjectingFileIo::Arm(std::size_t failAt, Fault fault) {
    m_nFailAt = failAt;
    m_nFault = fault;
    m_bInjected = false;
    m_Log.clear();
}

bool FaultInjectingFileIo::Step(const std::string& what) {
    m_Log.push_back(what);
    if (m_nFailAt != 0 && m_Log.size() == m_nFailAt) {
        m_bInjected = true;
        if (m_nFault == Fault::kCrash) {
            // No destructors, no buffered output, no cleanup: as a kill -9.
            std::_Exit(kCrashExitCode);
        }
        if (m_nFault == Fault::kCall) {
            if (m_Call) {
                m_Call(what);
            }
            return false;
        }
        return true;
    }
    return false;
}

bool FaultInjectingFileIo::Refuse(platform::IoError* error, const std::string& why, platform::IoFailure code) {
    return platform::IoError::Fail(error, code, why);
}

bool FaultInjectingFileIo::OpenLocked(const std::string& path, Handle& out, platform::IoError* error) {
    out = kInvalid;
    if (Step("OpenLocked " + path)) {
        return Refuse(error, "injected: cannot open '" + path + "'");
    }
    return m_Inner.OpenLocked(path, out, error);
}

bool FaultInjectingFileIo::OpenLockedReadWrite(const std::string& path, Handle& out, platform::IoError* error) {
    out = kInvalid;
    if (Step("OpenLockedReadWrite " + path)) {
        return Refuse(error, "injected: cannot open '" + path + "' for writing");
    }
    return m_Inner.OpenLockedReadWrite(path, out, error);
}

bool FaultInjectingFileIo::ReadAt(Handle h, std::uint64_t offset, std::span<std::uint8_t> out, platform::IoError* error) {
    if (Step("ReadAt " + std::to_string(offset))) {
        return Refuse(error, "injected: read error");
    }
    return m_Inner.ReadAt(h, offset, out, error);
}

// A failed in-place write changes nothing: the cells written are a few bytes
// inside one page, which a disk either takes or refuses.
bool FaultInjectingFileIo::WriteAt(Handle h, std::uint64_t offset, std::span<const std::uint8_t> data,
                                   platform::IoError* error) {
    if (Step("WriteAt " + std::to_string(offset))) {
        return Refuse(error, "injected: write error", platform::IoFailure::kWriteFailed);
    }
    return m_Inner.WriteAt(h, offset, data, error);
}

bool FaultInjectingFileIo::CreateNew(const std::string& path, const std::string& modeFrom, Handle& out,
                                     platform::IoError* error) {
    out = kInvalid;
    if (Step("CreateNew " + path)) {
        return Refuse(error, "injected: cannot create '" + path + "'");
    }
    return m_Inner.CreateNew(path, modeFrom, out, error);
}

bool FaultInjectingFileIo::ReadAll(Handle h, std::vector<std::uint8_t>& out, platform::IoError* error) {
    if (Step("ReadAll")) {
        return Refuse(error, "injected: read error");
    }
    return m_Inner.ReadAll(h, out, error);
}

bool FaultInjectingFileIo::Write(Handle h, std::span<const std::uint8_t> data, platform::IoError* error) {
    const bool fail = Step("Write " + std::to_string(data.size()));
    std::size_t fits = data.size();
    if (fail && m_nFault == Fault::kDiskFull) {
        fits = data.size() / 2;
    }
    if (m_Space && *m_Space < fits) {
        fits = static_cast<std::size_t>(*m_Space);
    }
    if (fits < data.size()) {
        // What fits reaches the file; the rest meets a full disk.
        if (fits > 0 && !m_Inner.Write(h, data.first(fits), error)) {
            return false;
        }
        if (m_Space) {
            *m_Space -= fits;
        }
        return Refuse(error, "injected: No space left on device", platform::IoFailure::kWriteFailed);
    }
    if (fail) {
        return Refuse(error, "injected: write error", platform::IoFailure::kWriteFailed);
    }
    if (m_Space) {
        *m_Space -= fits;
    }
    return m_Inner.Write(h, data, error);
}

bool FaultInjectingFileIo::Flush(Handle h, platform::IoError* error) {
    if (Step("Flush")) {
        return Refuse(error, "injected: cannot flush", platform::IoFailure::kWriteFailed);
    }
    return m_Inner.Flush(h, error);
}

bool FaultInjectingFileIo::Close(Handle h, platform::IoError* error) {
    if (h == kInvalid) {
        return m_Inner.Close(h, error);
    }
    if (Step("Close")) {
        m_Inner.Close(h, nullptr);
        return Refuse(error, "injected: close reported an error", platform::IoFailure::kWriteFailed);
    }
    return m_Inner.Close(h, error);
}

bool FaultInjectingFileIo::Rename(const std::string& from, const std::string& to, platform::IoError* error) {
    if (Step("Rename " + from + " -> " + to)) {
        return Refuse(error, "injected: cannot rename '" + from + "'");
    }
    return m_Inner.Rename(from, to, error);
}

bool FaultInjectingFileIo::FlushFolderOf(const std::string& path, platform::IoError* error) {
    if (Step("FlushFolderOf " + path)) {
        return Refuse(error, "injected: cannot flush the folder of '" + path + "'");
    }
    return m_Inner.FlushFolderOf(path, error);
}

bool FaultInjectingFileIo::Inspect(const std::string& path, Facts& out, platform::IoError* error) {
    if (Step("Inspect " + path)) {
        return Refuse(error, "injected: cannot look at '" + path + "'");
    }
    return m_Inner.Inspect(path, out, error);
}

bool FaultInjectingFileIo::InspectOpen(Handle h, Facts& out, platform::IoError* error) {
    if (Step("InspectOpen")) {
        return Refuse(error, "injected: cannot look at an open file");
    }
    return m_Inner.InspectOpen(h, out, error);
}

bool FaultInjectingFileIo::ResolveLinks(const std::string& path, std::string& target, platform::IoError* error) {
    if (Step("ResolveLinks " + path)) {
        return Refuse(error, "injected: cannot follow the link '" + path + "'");
    }
    return m_Inner.ResolveLinks(path, target, error);
}

}  // namespace lazrine::testing
