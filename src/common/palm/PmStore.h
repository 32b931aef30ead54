#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/palm/PmTypes.h"
#include "platform/IoError.h"

namespace lazrine::palm {

// One store generation of one kind, as a record set sees it: it loads a
// user's data or a named file, exposes every record's id and status word in
// file or table order (deleted records included), and writes changes back.
//
// Contract: a failed Load leaves no records visible through this interface
// (Count() is 0); LastError() says why the last operation failed and
// LastFailure() what kind of failure it was.
class PmStore {
public:
    virtual ~PmStore() = default;

    virtual PmStoreKind StoreKind() const = 0;
    virtual bool Load(const std::string& path) = 0;
    virtual bool LoadForUser(std::uint32_t userId) = 0;
    virtual bool IsLoaded() const = 0;
    // Writes every held record back to the place it was loaded from.
    virtual bool Save() = 0;
    // Empties the record container.
    virtual void Clear() = 0;

    virtual std::size_t Count() const = 0;
    virtual std::uint32_t RecordIdAt(std::size_t index) const = 0;
    virtual std::uint32_t StatusAt(std::size_t index) const = 0;
    virtual void SetStatusAt(std::size_t index, std::uint32_t status) = 0;

    // What names the data this store loaded, for identifiers that must stay
    // the same for the same file wherever it is copied: the path Palm
    // Desktop recorded inside a record file, else the path loaded.
    virtual std::string SourceName() const = 0;

    virtual const std::string& LastError() const = 0;
    // The kind of the last failure: among others kInUse for a file another
    // program holds, kChangedSinceLoaded for a save refused because another
    // program changed the data since it was loaded, kReplacedNotDurable for
    // a save that replaced the file but could not make it durable (so the
    // file is not as it was); kOther for data that is not of this kind.
    virtual platform::IoFailure LastFailure() const = 0;
};

}  // namespace lazrine::palm
