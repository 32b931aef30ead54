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

bool FaultInjectingFileIo::Refuse(std::string* error, const std::string& why) {
    if (error != nullptr) {
        *error = why;
    }
    return false;
}

bool FaultInjectingFileIo::OpenLocked(const std::string& path, Handle& out, std::string* error) {
    out = kInvalid;
    if (Step("OpenLocked " + path)) {
        return Refuse(error, "injected: cannot open '" + path + "'");
    }
    return m_Inner.OpenLocked(path, out, error);
}

bool FaultInjectingFileIo::OpenLockedReadWrite(const std::string& path, Handle& out, std::string* error) {
    out = kInvalid;
    if (Step("OpenLockedReadWrite " + path)) {
        return Refuse(error, "injected: cannot open '" + path + "' for writing");
    }
    return m_Inner.OpenLockedReadWrite(path, out, error);
}

bool FaultInjectingFileIo::ReadAt(Handle h, std::uint64_t offset, std::span<std::uint8_t> out, std::string* error) {
    if (Step("ReadAt " + std::to_string(offset))) {
        return Refuse(error, "injected: read error");
    }
    return m_Inner.ReadAt(h, offset, out, error);
}

// A failed in-place write changes nothing: the cells written are a few bytes
// inside one page, which a disk either takes or refuses.
bool FaultInjectingFileIo::WriteAt(Handle h, std::uint64_t offset, std::span<const std::uint8_t> data,
                                   std::string* error) {
    if (Step("WriteAt " + std::to_string(offset))) {
        return Refuse(error, "injected: write error");
    }
    return m_Inner.WriteAt(h, offset, data, error);
}

bool FaultInjectingFileIo::CreateNew(const std::string& path, const std::string& modeFrom, Handle& out,
                                     std::string* error) {
    out = kInvalid;
    if (Step("CreateNew " + path)) {
        return Refuse(error, "injected: cannot create '" + path + "'");
    }
    return m_Inner.CreateNew(path, modeFrom, out, error);
}

bool FaultInjectingFileIo::ReadAll(Handle h, std::vector<std::uint8_t>& out, std::string* error) {
    if (Step("ReadAll")) {
        return Refuse(error, "injected: read error");
    }
    return m_Inner.ReadAll(h, out, error);
}

bool FaultInjectingFileIo::Write(Handle h, std::span<const std::uint8_t> data, std::string* error) {
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
        return Refuse(error, "injected: No space left on device");
    }
    if (fail) {
        return Refuse(error, "injected: write error");
    }
    if (m_Space) {
        *m_Space -= fits;
    }
    return m_Inner.Write(h, data, error);
}

bool FaultInjectingFileIo::Flush(Handle h, std::string* error) {
    if (Step("Flush")) {
        return Refuse(error, "injected: cannot flush");
    }
    return m_Inner.Flush(h, error);
}

bool FaultInjectingFileIo::Close(Handle h, std::string* error) {
    if (h == kInvalid) {
        return m_Inner.Close(h, error);
    }
    if (Step("Close")) {
        m_Inner.Close(h, nullptr);
        return Refuse(error, "injected: close reported an error");
    }
    return m_Inner.Close(h, error);
}

bool FaultInjectingFileIo::Rename(const std::string& from, const std::string& to, std::string* error) {
    if (Step("Rename " + from + " -> " + to)) {
        return Refuse(error, "injected: cannot rename '" + from + "'");
    }
    return m_Inner.Rename(from, to, error);
}

bool FaultInjectingFileIo::FlushFolderOf(const std::string& path, std::string* error) {
    if (Step("FlushFolderOf " + path)) {
        return Refuse(error, "injected: cannot flush the folder of '" + path + "'");
    }
    return m_Inner.FlushFolderOf(path, error);
}

bool FaultInjectingFileIo::Inspect(const std::string& path, Facts& out, std::string* error) {
    if (Step("Inspect " + path)) {
        return Refuse(error, "injected: cannot look at '" + path + "'");
    }
    return m_Inner.Inspect(path, out, error);
}

bool FaultInjectingFileIo::InspectOpen(Handle h, Facts& out, std::string* error) {
    if (Step("InspectOpen")) {
        return Refuse(error, "injected: cannot look at an open file");
    }
    return m_Inner.InspectOpen(h, out, error);
}

bool FaultInjectingFileIo::ResolveLinks(const std::string& path, std::string& target, std::string* error) {
    if (Step("ResolveLinks " + path)) {
        return Refuse(error, "injected: cannot follow the link '" + path + "'");
    }
    return m_Inner.ResolveLinks(path, target, error);
}

}  // namespace lazrine::testing
