#include "platform/AtomicFile.h"

#include <algorithm>
#include <functional>

#include "platform/FileIo.h"

namespace lazrine::platform {
namespace {

using Kind = FileIo::Facts::Kind;
using Outcome = AtomicFile::Outcome;
using Code = IoFailure;

// Closes a handle on every path out of a scope.
class HandleGuard {
public:
    explicit HandleGuard(FileIo& io) : m_io(io) {}
    ~HandleGuard() { Close(nullptr); }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;

    FileIo::Handle& Get() { return m_handle; }
    bool Close(IoError* error) {
        const FileIo::Handle h = m_handle;
        m_handle = FileIo::kInvalid;
        return m_io.Close(h, error);
    }

private:
    FileIo& m_io;
    FileIo::Handle m_handle = FileIo::kInvalid;
};

// Fills a new file through its handle.
using Filler = std::function<bool(FileIo::Handle, IoError&)>;
// Runs right before the new file is renamed into place; false stops the
// replacement.
using BeforeRename = std::function<bool(IoError&)>;

// Removes what an interrupted earlier save left at the temporary name: a
// regular file or a link (the link itself; what it points to is never
// touched). Anything else there is not ours to remove.
bool ClearLeftover(FileIo& io, const std::string& temp, IoError& error) {
    FileIo::Facts facts;
    if (!io.Inspect(temp, facts, &error)) {
        return false;
    }
    if (facts.nKind == Kind::kMissing) {
        return true;
    }
    if (facts.nKind != Kind::kRegular && facts.nKind != Kind::kLink) {
        return error.Fail(Code::kNotRegular, temp + " is in the way and is not a file; move it away and save again");
    }
    if (!io.Remove(temp)) {
        return error.Fail(Code::kOther, "cannot remove " + temp + ", left by an interrupted save");
    }
    return true;
}

// Writes a fresh file at `temp` with the mode, owner and group of `modeFrom`
// (when given) through `fill`, flushes it and closes it; `written` receives
// its description as it was flushed. On failure nothing is left at `temp`.
bool WriteNew(FileIo& io, const std::string& temp, const std::string& modeFrom, const Filler& fill,
              FileIo::Facts& written, IoError& error) {
    if (!ClearLeftover(io, temp, error)) {
        return false;
    }
    HandleGuard out(io);
    if (!io.CreateNew(temp, modeFrom, out.Get(), &error)) {
        return false;
    }
    const bool ready = fill(out.Get(), error) && io.Flush(out.Get(), &error) && io.InspectOpen(out.Get(), written, &error);
    const bool closed = out.Close(ready ? &error : nullptr);
    if (!ready || !closed) {
        io.Remove(temp);
        return false;
    }
    return true;
}

// Renames the flushed file `temp` over `target` and flushes the folder; the
// temporary file is removed when `beforeRename` or the rename fails.
Outcome Install(FileIo& io, const std::string& temp, const std::string& target, IoError& error,
                const BeforeRename& beforeRename = {}) {
    if ((beforeRename && !beforeRename(error)) || !io.Rename(temp, target, &error)) {
        io.Remove(temp);
        return Outcome::kUnchanged;
    }
    if (!io.FlushFolderOf(target, &error)) {
        error.nCode = Code::kReplacedNotDurable;
        return Outcome::kReplacedNotDurable;
    }
    return Outcome::kReplaced;
}

// Writes `temp` completely (see WriteNew), then installs it over `target`.
Outcome WriteDurably(FileIo& io, const std::string& temp, const std::string& target, const std::string& modeFrom,
                     const Filler& fill, FileIo::Facts& written, IoError& error) {
    return WriteNew(io, temp, modeFrom, fill, written, error) ? Install(io, temp, target, error) : Outcome::kUnchanged;
}

AtomicFile::Producer ProduceAll(std::span<const std::uint8_t> content) {
    return [content](const AtomicFile::PieceWriter& sink, std::string& error) {
        return content.empty() || sink(content, error);
    };
}

// Writes what `produce` makes into the new file, fingerprinting it on the
// way. The producer reports in words only; a failed write keeps its kind.
Filler WriteProduced(const AtomicFile::Producer& produce, FileFingerprint::Builder& fingerprint) {
    return [&produce, &fingerprint](FileIo::Handle h, IoError& error) {
        IoError failedWrite;
        const AtomicFile::PieceWriter sink = [h, &fingerprint, &failedWrite](std::span<const std::uint8_t> piece,
                                                                             std::string& e) {
            fingerprint.Add(piece);
            if (piece.empty() || FileIo::Instance().Write(h, piece, &failedWrite)) {
                return true;
            }
            e = failedWrite.szText;
            return false;
        };
        std::string reason = error.szText;
        return produce(sink, reason) ||
               error.Fail(failedWrite.nCode == Code::kNone ? Code::kOther : failedWrite.nCode, reason);
    };
}

// The file a save writes: `path`, or the target of the link at `path`.
bool TargetOf(FileIo& io, const std::string& path, std::string& target, FileIo::Facts& facts, IoError& error) {
    target = path;
    if (!io.Inspect(path, facts, &error)) {
        return false;
    }
    if (facts.nKind == Kind::kLink) {
        if (!io.ResolveLinks(path, target, &error) || !io.Inspect(target, facts, &error)) {
            return false;
        }
    }
    return true;
}

// True when a backup is already in place; false with an empty `error` when
// none is; false with a reason when the name holds something else.
bool HasBackup(FileIo& io, const std::string& backup, IoError& error) {
    error.Clear();
    FileIo::Facts facts;
    if (!io.Inspect(backup, facts, &error)) {
        return false;
    }
    if (facts.nKind == Kind::kRegular) {
        return true;
    }
    if (facts.nKind != Kind::kMissing) {
        error.Fail(Code::kNotRegular,
                   backup + " is not a regular file, so it cannot serve as the backup; move it away and save again");
    }
    return false;
}

std::string ChangedText(const std::string& path) {
    return path + " was changed by another program since it was loaded; reload it";
}

// Makes sure a backup of `target` exists, made by `fill`. When `expected` is
// known, the bytes `fill` copied must be the bytes it describes: a backup of
// anything else (a file another program wrote while we copied) is removed
// before it takes the backup's name, and the save is refused.
bool MakeBackup(FileIo& io, const std::string& target, const Filler& fill, const FileFingerprint* expected,
                const FileFingerprint::Builder* copied, const std::string& shownPath, IoError& error) {
    const std::string backup = AtomicFile::BackupPathOf(target);
    if (HasBackup(io, backup, error)) {
        return true;
    }
    if (error.nCode != Code::kNone) {
        return false;
    }
    const std::string temp = backup + AtomicFile::kTempSuffix;
    FileIo::Facts written;
    if (!WriteNew(io, temp, target, fill, written, error)) {
        error.szText = "cannot make the backup copy: " + error.szText;
        return false;
    }
    if (expected != nullptr && copied != nullptr) {
        const FileFingerprint got = copied->Finish(written);
        if (got.Size() != expected->Size() || got.Hash() != expected->Hash()) {
            io.Remove(temp);
            return error.Fail(Code::kChangedSinceLoaded, ChangedText(shownPath));
        }
    }
    if (Install(io, temp, backup, error) != Outcome::kReplaced) {
        // A backup whose folder flush failed may vanish in a crash: not yet
        // safe to change the original, which is as it was.
        return error.Fail(error.nCode == Code::kReplacedNotDurable ? Code::kWriteFailed : error.nCode,
                          "cannot make the backup copy: " + error.szText);
    }
    return true;
}

// Copies the open file `h` into a new file in chunks: never a second whole
// copy of a large file in memory. `copied` (when given) sees every byte.
Filler CopyOf(FileIo::Handle h, FileFingerprint::Builder* copied = nullptr) {
    return [h, copied](FileIo::Handle out, IoError& error) {
        FileIo& io = FileIo::Instance();
        std::uint64_t size = 0;
        if (!io.Size(h, size, &error)) {
            return false;
        }
        std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(size, FileFingerprint::kChunk)));
        for (std::uint64_t offset = 0; offset < size;) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(size - offset, chunk.size()));
            const std::span<std::uint8_t> part(chunk.data(), n);
            if (!io.ReadAt(h, offset, part, &error) || !io.Write(out, part, &error)) {
                return false;
            }
            if (copied != nullptr) {
                copied->Add(part);
            }
            offset += n;
        }
        return true;
    };
}

// True when the name `target` still names the open file `h` and the file
// still holds what `expected` describes, read again in full: a program that
// ignores our lock and wrote the file, or renamed another file over its
// name, since it was checked is caught here, right before the rename.
bool StillAsChecked(FileIo& io, FileIo::Handle h, const std::string& target, const FileFingerprint& expected,
                    const std::string& shownPath, IoError& error) {
    bool same = false;
    if (!io.NamesOpenFile(target, h, same, &error)) {
        return false;
    }
    FileFingerprint now;
    if (!same || !FileFingerprint::OfOpenFile(io, h, now, &error) || !(now == expected)) {
        return error.Fail(Code::kChangedSinceLoaded, ChangedText(shownPath));
    }
    return true;
}

// Everything a replacement checks before it writes, in the order a user
// would want to hear about it.
bool MayReplace(const std::string& path, const FileIo::Facts& facts, IoError& error) {
    if (facts.nKind == Kind::kMissing) {
        return error.Fail(Code::kMissing, "cannot open '" + path + "': No such file or directory");
    }
    if (facts.nKind != Kind::kRegular) {
        return error.Fail(Code::kNotRegular, "not a regular file '" + path + "'");
    }
    if (facts.nLinks > 1) {
        return error.Fail(Code::kOther, path + " has " + std::to_string(facts.nLinks) +
                                            " names (hard links); replacing it would split them, so it was not "
                                            "changed");
    }
    if (!facts.bWritable) {
        return error.Fail(Code::kOther, path + " is read-only; it was not changed");
    }
    return true;
}

struct Request {
    FileFingerprint* loaded = nullptr;  // checked and updated when given
    bool keepBackup = true;
    bool mayCreate = false;
};

Outcome Commit(const std::string& path, const AtomicFile::Producer& produce, const Request& request,
               IoError& error) {
    FileIo& io = FileIo::Instance();
    if (path.empty()) {
        error.Fail(Code::kOther, "no file name given");
        return Outcome::kUnchanged;
    }
    std::string target;
    FileIo::Facts facts;
    if (!TargetOf(io, path, target, facts, error)) {
        return Outcome::kUnchanged;
    }
    FileIo::Facts written;
    FileFingerprint::Builder fingerprint;
    const std::string temp = target + AtomicFile::kTempSuffix;
    if (facts.nKind == Kind::kMissing && request.mayCreate) {
        return WriteDurably(io, temp, target, "", WriteProduced(produce, fingerprint), written, error);
    }
    if (!MayReplace(path, facts, error)) {
        return Outcome::kUnchanged;
    }
    // Hold the lock on the original for the whole replacement, so that no
    // other program writes it between our check, our backup and our rename.
    HandleGuard original(io);
    if (!io.OpenLocked(target, original.Get(), &error)) {
        return Outcome::kUnchanged;
    }
    const bool release = io.ReleasesBeforeReplace();
    const bool checkLoaded = request.loaded != nullptr && request.loaded->IsKnown();
    FileFingerprint locked;
    if (checkLoaded || release) {
        if (!FileFingerprint::OfOpenFile(io, original.Get(), locked, &error)) {
            return Outcome::kUnchanged;
        }
        if (checkLoaded && !(locked == *request.loaded)) {
            error.Fail(Code::kChangedSinceLoaded, ChangedText(path));
            return Outcome::kUnchanged;
        }
    }
    // The new content is made and flushed first, so that content that cannot
    // be made leaves nothing behind, not even a backup; the backup is in
    // place before the original is replaced.
    if (!WriteNew(io, temp, target, WriteProduced(produce, fingerprint), written, error)) {
        return Outcome::kUnchanged;
    }
    FileFingerprint::Builder copied;
    if (request.keepBackup && !MakeBackup(io, target, CopyOf(original.Get(), &copied),
                                          checkLoaded || release ? &locked : nullptr,
                                          &copied, path, error)) {
        io.Remove(temp);
        return Outcome::kUnchanged;
    }
    // Where the lock is kept to the rename, the file is checked once more
    // right before it: our lock is advisory, and a program that ignores it
    // may have written the file or renamed another over it meanwhile.
    const BeforeRename checkOriginal = [&](IoError& reason) {
        return StillAsChecked(io, original.Get(), target, locked, path, reason);
    };
    // Where an open or locked file cannot be renamed over, the lock goes
    // just before the rename; a fresh lock then confirms that the name still
    // holds the file that was checked and backed up, as it was, and is
    // released in turn.
    FileIo::Facts heldFacts;
    if (release && !io.InspectOpen(original.Get(), heldFacts, &error)) {
        io.Remove(temp);
        return Outcome::kUnchanged;
    }
    const BeforeRename releaseOriginal = [&](IoError& reason) {
        if (!original.Close(&reason)) {
            return false;
        }
        HandleGuard again(io);
        FileIo::Facts againFacts;
        FileFingerprint now;
        if (!io.OpenLocked(target, again.Get(), &reason) || !io.InspectOpen(again.Get(), againFacts, &reason) ||
            !FileFingerprint::OfOpenFile(io, again.Get(), now, &reason)) {
            return false;
        }
        if (!againFacts.IsSameFile(heldFacts) || !(now == locked)) {
            return reason.Fail(Code::kChangedSinceLoaded, ChangedText(path));
        }
        return again.Close(&reason);
    };
    const Outcome outcome = Install(io, temp, target, error,
                                    release ? releaseOriginal : checkLoaded ? checkOriginal : BeforeRename{});
    if (outcome == Outcome::kUnchanged) {
        return outcome;
    }
    if (request.loaded != nullptr) {
        *request.loaded = fingerprint.Finish(written);
    }
    if (outcome == Outcome::kReplacedNotDurable) {
        error.Fail(Code::kReplacedNotDurable,
                   path + " was replaced, but the change may not be durable: " + error.szText);
    }
    // The new file is in place; releasing the old one's lock cannot undo that.
    original.Close(nullptr);
    return outcome;
}

}  // namespace

bool AtomicFile::ReadWhole(const std::string& path, std::vector<std::uint8_t>& out, IoError& error) {
    FileFingerprint ignored;
    return ReadWhole(path, out, ignored, error);
}

bool AtomicFile::ReadWhole(const std::string& path, std::vector<std::uint8_t>& out, FileFingerprint& loaded,
                           IoError& error) {
    FileIo& io = FileIo::Instance();
    HandleGuard in(io);
    out.clear();
    loaded = FileFingerprint{};
    if (path.empty()) {
        return error.Fail(Code::kOther, "no file name given");
    }
    if (!io.OpenLocked(path, in.Get(), &error)) {
        return false;
    }
    FileIo::Facts facts;
    if (!io.ReadAll(in.Get(), out, &error) || !io.InspectOpen(in.Get(), facts, &error)) {
        out.clear();
        return false;
    }
    loaded = FileFingerprint::Of(out, facts);
    return true;
}

bool AtomicFile::EnsureBackup(const std::string& path, FileIo::Handle original, const FileFingerprint& expected,
                              IoError& error) {
    FileIo& io = FileIo::Instance();
    std::string target;
    FileIo::Facts facts;
    if (!TargetOf(io, path, target, facts, error)) {
        return false;
    }
    FileFingerprint::Builder copied;
    return MakeBackup(io, target, CopyOf(original, &copied), &expected, &copied, path, error);
}

AtomicFile::Outcome AtomicFile::ReplaceLoaded(const std::string& path, std::span<const std::uint8_t> content,
                                              FileFingerprint& loaded, IoError& error) {
    return ReplaceLoaded(path, ProduceAll(content), loaded, error);
}

AtomicFile::Outcome AtomicFile::ReplaceLoaded(const std::string& path, const Producer& produce,
                                              FileFingerprint& loaded, IoError& error) {
    Request request;
    request.loaded = &loaded;
    return Commit(path, produce, request, error);
}

bool AtomicFile::Replace(const std::string& path, std::span<const std::uint8_t> content, IoError& error) {
    return Commit(path, ProduceAll(content), Request{}, error) == Outcome::kReplaced;
}

bool AtomicFile::Store(const std::string& path, std::span<const std::uint8_t> content, IoError& error) {
    Request request;
    request.keepBackup = false;
    request.mayCreate = true;
    return Commit(path, ProduceAll(content), request, error) == Outcome::kReplaced;
}

AtomicFile::Outcome AtomicFile::Produce(const std::string& path, const Producer& produce, IoError& error) {
    Request request;
    request.keepBackup = false;
    request.mayCreate = true;
    return Commit(path, produce, request, error);
}

}  // namespace lazrine::platform
