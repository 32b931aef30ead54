#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/FileIo.h"

namespace lazrine::testing {

// A file seam that passes every operation to another implementation (the
// system's by default) and makes one chosen step fail, so that a test can
// walk a failure over every step of a save.
//
// A step is every call except the queries Exists, Remove and Size:
// OpenLocked, OpenLockedReadWrite, CreateNew, ReadAll, ReadAt, Write,
// WriteAt, Flush, Close, Rename, FlushFolderOf, Inspect, InspectOpen and
// ResolveLinks, counted
// from 1 since the last Arm(). A failed step reports an error and has no
// effect, except that a failed Close still releases the handle (as a real
// close does) and a write that meets a full disk writes the part that fits
// before it fails, as a short write with ENOSPC would.
//
// Two more faults serve the soak, which runs a save in a child process:
// kCrash ends the process at once, before the chosen step runs, as a kill -9
// or a power cut would (no destructor, no flush of anything not yet
// written); kCall runs the action given to OnCall() right before the chosen
// step, which then runs normally (another program acting mid-save).
class FaultInjectingFileIo final : public platform::FileIo {
public:
    enum class Fault {
        kError,     // the step fails and does nothing
        kDiskFull,  // a Write writes half its bytes, then fails; other steps fail as kError
        kCrash,     // the process ends with kCrashExitCode before the step
        kCall,      // the OnCall() action runs, then the step runs normally
    };

    // The exit code of a process ended by kCrash.
    static constexpr int kCrashExitCode = 86;

    explicit FaultInjectingFileIo(platform::FileIo& inner = platform::SystemFileIo()) : m_Inner(inner) {}

    // Restarts the step count; the `failAt`-th step (1-based) fails with
    // `fault`, none when 0.
    void Arm(std::size_t failAt, Fault fault = Fault::kError);
    // Limits the bytes all later writes may add together (a full disk);
    // nullopt lifts the limit.
    void LimitSpace(std::optional<std::uint64_t> bytes) { m_Space = bytes; }
    // What a kCall fault runs; it is told the step's log line.
    void OnCall(std::function<void(const std::string& step)> action) { m_Call = std::move(action); }

    std::size_t Steps() const { return m_Log.size(); }
    // One line per step since Arm(): the operation and its file.
    const std::vector<std::string>& Log() const { return m_Log; }
    bool Injected() const { return m_bInjected; }

    bool OpenLocked(const std::string& path, Handle& out, platform::IoError* error) override;
    bool CreateNew(const std::string& path, const std::string& modeFrom, Handle& out,
                   platform::IoError* error) override;
    bool ReadAll(Handle h, std::vector<std::uint8_t>& out, platform::IoError* error) override;
    bool Write(Handle h, std::span<const std::uint8_t> data, platform::IoError* error) override;
    bool Flush(Handle h, platform::IoError* error) override;
    bool Close(Handle h, platform::IoError* error) override;
    bool Rename(const std::string& from, const std::string& to, platform::IoError* error) override;
    bool FlushFolderOf(const std::string& path, platform::IoError* error) override;
    bool OpenLockedReadWrite(const std::string& path, Handle& out, platform::IoError* error) override;
    bool Size(Handle h, std::uint64_t& size, platform::IoError* error) override { return m_Inner.Size(h, size, error); }
    bool ReadAt(Handle h, std::uint64_t offset, std::span<std::uint8_t> out, platform::IoError* error) override;
    bool WriteAt(Handle h, std::uint64_t offset, std::span<const std::uint8_t> data, platform::IoError* error) override;
    bool Remove(const std::string& path) override { return m_Inner.Remove(path); }
    bool Exists(const std::string& path) override { return m_Inner.Exists(path); }
    bool Inspect(const std::string& path, Facts& out, platform::IoError* error) override;
    bool InspectOpen(Handle h, Facts& out, platform::IoError* error) override;
    bool ResolveLinks(const std::string& path, std::string& target, platform::IoError* error) override;
    bool ReleasesBeforeReplace() const override { return m_Inner.ReleasesBeforeReplace(); }

private:
    // Logs a step; true when it is the one to fail.
    bool Step(const std::string& what);
    static bool Refuse(platform::IoError* error, const std::string& why,
                       platform::IoFailure code = platform::IoFailure::kOther);

    platform::FileIo& m_Inner;
    std::size_t m_nFailAt = 0;
    Fault m_nFault = Fault::kError;
    bool m_bInjected = false;
    std::optional<std::uint64_t> m_Space;
    std::function<void(const std::string&)> m_Call;
    std::vector<std::string> m_Log;
};

}  // namespace lazrine::testing
