#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "platform/FileIo.h"

namespace lazrine::testing {

// A whole file system in memory behind the file seam: the fuzz targets load
// and save through it so that no input ever reaches the disk, and tests use
// it to look at every file a save left behind. Locks are exclusive per path,
// as on the real system.
class MemoryFileIo final : public platform::FileIo {
public:
    void Put(const std::string& path, std::span<const std::uint8_t> bytes);
    // The content of `path`, or an empty vector when it does not exist.
    std::vector<std::uint8_t> Get(const std::string& path) const;
    // Every path held, in order.
    std::vector<std::string> Paths() const;
    std::size_t OpenHandles() const { return m_Handles.size(); }

    bool OpenLocked(const std::string& path, Handle& out, platform::IoError* error) override;
    bool CreateNew(const std::string& path, const std::string& modeFrom, Handle& out,
                   platform::IoError* error) override;
    bool ReadAll(Handle h, std::vector<std::uint8_t>& out, platform::IoError* error) override;
    bool Write(Handle h, std::span<const std::uint8_t> data, platform::IoError* error) override;
    bool Flush(Handle h, platform::IoError* error) override;
    bool Close(Handle h, platform::IoError* error) override;
    bool Rename(const std::string& from, const std::string& to, platform::IoError* error) override;
    bool FlushFolderOf(const std::string& path, platform::IoError* error) override;
    // In-place writing is refused: what runs on memory never writes in place.
    bool OpenLockedReadWrite(const std::string& path, Handle& out, platform::IoError* error) override;
    bool Size(Handle h, std::uint64_t& size, platform::IoError* error) override;
    bool ReadAt(Handle h, std::uint64_t offset, std::span<std::uint8_t> out, platform::IoError* error) override;
    bool WriteAt(Handle h, std::uint64_t offset, std::span<const std::uint8_t> data, platform::IoError* error) override;
    bool Remove(const std::string& path) override;
    bool Exists(const std::string& path) override;
    // Every file is a regular one with one name, writable; its time is a
    // count of the changes made to it.
    bool Inspect(const std::string& path, Facts& out, platform::IoError* error) override;
    bool InspectOpen(Handle h, Facts& out, platform::IoError* error) override;
    bool ResolveLinks(const std::string& path, std::string& target, platform::IoError* error) override;

private:
    struct OpenFile {
        std::string path;
        std::size_t readPos = 0;
        bool locked = false;
        // The file the handle was opened on, which a rename over its name
        // does not change.
        std::uint64_t id = 0;
    };
    OpenFile* Find(Handle h, platform::IoError* error);
    Facts FactsOf(const std::string& path) const;

    std::map<std::string, std::vector<std::uint8_t>> m_Files;
    std::map<Handle, OpenFile> m_Handles;
    std::set<std::string> m_Locked;
    std::map<std::string, std::int64_t> m_Changes;
    // Each file's number (its inode), kept by a rename.
    std::map<std::string, std::uint64_t> m_Ids;
    std::uint64_t m_nNextId = 1;
    Handle m_nNextHandle = 3;
};

}  // namespace lazrine::testing
