#include "common/palm/database/PmJetJournal.h"

#include <xxhash.h>

#include <algorithm>
#include <string_view>

#include "common/palm/database/PmJetPages.h"
#include "platform/AtomicFile.h"
#include "platform/FileIo.h"
#include "platform/InPlaceFileWriter.h"

namespace lazrine::palm {
namespace {

constexpr std::string_view kMagic = "LZJRNL\r\n";

void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
    }
}

// Reads the journal front to back; every read fails past its end.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : m_Bytes(bytes) {}
    bool Number(std::uint64_t& value, int bytes) {
        if (Left() < static_cast<std::size_t>(bytes)) {
            return false;
        }
        value = 0;
        for (int i = 0; i < bytes; ++i) {
            value |= static_cast<std::uint64_t>(m_Bytes[m_nAt++]) << (8 * i);
        }
        return true;
    }
    bool Take(std::uint64_t n, std::span<const std::uint8_t>& out) {
        if (Left() < n) {
            return false;
        }
        out = m_Bytes.subspan(m_nAt, static_cast<std::size_t>(n));
        m_nAt += static_cast<std::size_t>(n);
        return true;
    }
    std::size_t Left() const { return m_Bytes.size() - m_nAt; }

private:
    std::span<const std::uint8_t> m_Bytes;
    std::size_t m_nAt = 0;
};

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Removes the journal and makes its removal durable.
bool RemoveJournal(platform::FileIo& io, const std::string& journal, platform::IoError& error) {
    if (io.Exists(journal) && !io.Remove(journal)) {
        return error.Fail(platform::IoFailure::kOther, "cannot remove " + journal);
    }
    return io.FlushFolderOf(journal, &error);
}

// Puts back the bytes from before of `touched` (newest first, so that
// overlapping cells end as they began) and flushes them, then removes the
// journal; `error` gains what became of the database.
bool RollBack(platform::InPlaceFileWriter& writer, std::span<const PmJetPatch> touched, const std::string& journal,
              platform::IoError& error) {
    platform::FileIo& io = platform::FileIo::Instance();
    platform::IoError reason;
    bool back = true;
    for (auto it = touched.rbegin(); it != touched.rend(); ++it) {
        // A cell that holds neither our bytes nor its old ones was written
        // by another program since (only the cell whose write failed may
        // hold part of ours): that program's value stays.
        std::vector<std::uint8_t> now(it->before.size());
        if (writer.ReadAt(it->nOffset, now, reason) && now != it->after &&
            (now == it->before || it != touched.rbegin())) {
            continue;
        }
        back = writer.WriteAt(it->nOffset, it->before, reason) && back;
    }
    if (!back || !writer.Flush(reason)) {
        error.szText += "; putting the changed cells back failed too (" + reason.szText + "), so " + journal +
                        " was kept: the next time Lazrine opens the database it puts them back";
        return false;
    }
    // The cells hold their bytes from before: a journal that cannot be
    // removed now only puts back what is already there.
    RemoveJournal(io, journal, reason);
    return false;
}

}  // namespace

std::vector<std::uint8_t> PmJetJournal::Encode(const Contents& contents) {
    std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
    Put(out, kVersion, 4);
    Put(out, contents.nSize, 8);
    Put(out, contents.szName.size(), 4);
    out.insert(out.end(), contents.szName.begin(), contents.szName.end());
    Put(out, contents.cells.size(), 4);
    for (const PmJetPatch& cell : contents.cells) {
        Put(out, cell.nOffset, 8);
        Put(out, cell.before.size(), 4);
        out.insert(out.end(), cell.before.begin(), cell.before.end());
        out.insert(out.end(), cell.after.begin(), cell.after.end());
    }
    Put(out, XXH3_64bits(out.data(), out.size()), 8);
    return out;
}

PmJetJournal::Decoded PmJetJournal::Decode(std::span<const std::uint8_t> bytes, Contents& out) {
    out = Contents{};
    if (bytes.size() < kMagic.size() + 8 ||
        !std::equal(kMagic.begin(), kMagic.end(), bytes.begin(), [](char a, std::uint8_t b) {
            return static_cast<std::uint8_t>(a) == b;
        })) {
        return Decoded::kTorn;
    }
    const auto body = bytes.first(bytes.size() - 8);
    Reader sum(bytes.last(8));
    std::uint64_t checksum = 0;
    if (!sum.Number(checksum, 8) || checksum != XXH3_64bits(body.data(), body.size())) {
        return Decoded::kTorn;
    }
    Reader in(body.subspan(kMagic.size()));
    std::uint64_t version = 0;
    std::uint64_t nameLength = 0;
    std::uint64_t count = 0;
    std::span<const std::uint8_t> name;
    if (!in.Number(version, 4)) {
        return Decoded::kTorn;
    }
    if (version != kVersion) {
        return Decoded::kNewer;
    }
    if (!in.Number(out.nSize, 8) || !in.Number(nameLength, 4) || !in.Take(nameLength, name) || !in.Number(count, 4)) {
        return Decoded::kTorn;
    }
    out.szName.assign(name.begin(), name.end());
    for (std::uint64_t i = 0; i < count; ++i) {
        PmJetPatch cell;
        std::uint64_t length = 0;
        std::span<const std::uint8_t> before;
        std::span<const std::uint8_t> after;
        if (!in.Number(cell.nOffset, 8) || !in.Number(length, 4) || length == 0 || length > kMaxCell ||
            !in.Take(length, before) || !in.Take(length, after) || cell.nOffset > out.nSize ||
            length > out.nSize - cell.nOffset) {
            out = Contents{};
            return Decoded::kTorn;
        }
        cell.before.assign(before.begin(), before.end());
        cell.after.assign(after.begin(), after.end());
        out.cells.push_back(std::move(cell));
    }
    if (in.Left() != 0) {
        out = Contents{};
        return Decoded::kTorn;
    }
    return Decoded::kValid;
}

bool PmJetJournal::Write(const std::string& path, platform::FileFingerprint& loaded,
                         std::span<const PmJetPatch> patches, platform::IoError& error) {
    platform::FileIo& io = platform::FileIo::Instance();
    const std::string journal = PathOf(path);
    for (const PmJetPatch& p : patches) {
        if (p.before.empty() || p.before.size() > kMaxCell || p.after.size() != p.before.size()) {
            return error.Fail(platform::IoFailure::kOther,
                              "a cell change of the database is malformed; nothing was changed");
        }
    }
    // Hold the file locked from the check of its content to the last flush.
    platform::InPlaceFileWriter writer;
    platform::FileFingerprint current;
    if (!writer.Open(path, error) || !writer.Fingerprint(current, error)) {
        return false;
    }
    if (!loaded.IsKnown() || !(current == loaded)) {
        return error.Fail(platform::IoFailure::kChangedSinceLoaded, PmJetPages::kChangedText);
    }
    if (io.Exists(journal)) {
        return error.Fail(platform::IoFailure::kOther,
                          journal + " holds an interrupted undelete of this database; load the database again, "
                                    "which puts it back");
    }
    if (!writer.EnsureBackup(current, error)) {
        return false;
    }
    Contents contents;
    contents.szName = NameOf(path);
    contents.nSize = current.Size();
    contents.cells.assign(patches.begin(), patches.end());
    if (!platform::AtomicFile::Store(journal, Encode(contents), error)) {
        // No cell is written yet; a journal that reached its name goes again.
        // The database is as it was, whatever became of the journal.
        platform::IoError ignored;
        RemoveJournal(io, journal, ignored);
        if (error.nCode == platform::IoFailure::kReplacedNotDurable) {
            error.nCode = platform::IoFailure::kWriteFailed;
        }
        return false;
    }
    // A cell counts as touched once its write starts: a write may fail
    // after writing part of it.
    std::size_t touched = 0;
    bool ok = true;
    for (const PmJetPatch& p : patches) {
        std::vector<std::uint8_t> now(p.before.size());
        if (!writer.StillNamed(error) || !writer.ReadAt(p.nOffset, now, error)) {
            ok = false;
            break;
        }
        if (now != p.before) {
            ok = error.Fail(platform::IoFailure::kChangedSinceLoaded,
                            "a cell of the database was changed by another program during the undelete");
            break;
        }
        ++touched;
        if (!writer.WriteAt(p.nOffset, p.after, error)) {
            ok = false;
            break;
        }
    }
    // The journal goes only after every cell is durable, in the file that
    // still bears the name (not one renamed away between a check and its
    // write); until its removal is durable too, the change is taken back on
    // failure, since a journal that came back after a crash would take it
    // back then.
    // Every cell must still hold what we wrote: a program that rewrote the
    // file meanwhile may have put an earlier cell back, and a success must
    // not claim a record that is not undeleted.
    for (std::size_t i = 0; ok && i < touched; ++i) {
        std::vector<std::uint8_t> now(patches[i].after.size());
        if (!writer.ReadAt(patches[i].nOffset, now, error)) {
            ok = false;
        } else if (now != patches[i].after) {
            ok = error.Fail(platform::IoFailure::kChangedSinceLoaded,
                            "a cell of the database was changed by another program during the undelete");
        }
    }
    ok = ok && writer.Flush(error) && writer.StillNamed(error) && RemoveJournal(io, journal, error);
    if (!ok) {
        return RollBack(writer, patches.first(touched), journal, error);
    }
    // The change is on disk once flushed; an error reading it back or
    // closing the file after that changes nothing on disk.
    platform::IoError closeError;
    if (!writer.Fingerprint(loaded, closeError)) {
        loaded = platform::FileFingerprint{};
    }
    writer.Close(closeError);
    return true;
}

bool PmJetJournal::Recover(const std::string& path, platform::IoError& error) {
    platform::FileIo& io = platform::FileIo::Instance();
    const std::string journal = PathOf(path);
    const std::string fresh = journal + platform::AtomicFile::kTempSuffix;
    const bool hasJournal = io.Exists(journal);
    if (!hasJournal && !io.Exists(fresh)) {
        return true;
    }
    // Under the database's lock, so that no write of ours is under way.
    platform::InPlaceFileWriter writer;
    platform::IoError reason;
    if (!writer.Open(path, reason)) {
        if (!hasJournal) {
            return true;  // a leftover of an unfinished journal harms nothing
        }
        return error.Fail(reason.nCode, reason.szText + " (" + journal + " holds an interrupted undelete to put back)");
    }
    io.Remove(fresh);
    if (!hasJournal) {
        return true;
    }
    std::vector<std::uint8_t> raw;
    if (!platform::AtomicFile::ReadWhole(journal, raw, reason)) {
        return error.Fail(reason.nCode, "cannot read " + journal + ": " + reason.szText);
    }
    Contents contents;
    switch (Decode(raw, contents)) {
        case Decoded::kTorn:
            // Torn while being written, so before any cell was.
            if (!RemoveJournal(io, journal, error)) {
                error.szText += ", an incomplete undelete journal";
                return false;
            }
            return true;
        case Decoded::kNewer:
            return error.Fail(platform::IoFailure::kOther,
                              journal + " was written by a newer version of Lazrine; the database was not opened");
        case Decoded::kValid:
            break;
    }
    std::uint64_t size = 0;
    if (!writer.Size(size, reason)) {
        error = reason;
        return false;
    }
    const std::string untouched = "; the database and the journal were left as they are";
    if (contents.szName != NameOf(path) || contents.nSize != size) {
        return error.Fail(platform::IoFailure::kOther,
                          journal + " describes an interrupted undelete of another database (" + contents.szName +
                              ", " + std::to_string(contents.nSize) + " bytes)" + untouched);
    }
    std::vector<const PmJetPatch*> toPutBack;
    for (const PmJetPatch& cell : contents.cells) {
        std::vector<std::uint8_t> now(cell.before.size());
        if (!writer.ReadAt(cell.nOffset, now, reason)) {
            error = reason;
            return false;
        }
        if (now == cell.after && now != cell.before) {
            toPutBack.push_back(&cell);
        } else if (now != cell.before) {
            return error.Fail(platform::IoFailure::kChangedSinceLoaded,
                              "the database was changed by another program after an undelete was interrupted, so " +
                                  journal + " no longer fits it" + untouched);
        }
    }
    bool back = true;
    for (auto it = toPutBack.rbegin(); it != toPutBack.rend(); ++it) {
        back = writer.WriteAt((*it)->nOffset, (*it)->before, reason) && back;
    }
    if (!back || !writer.Flush(reason)) {
        return error.Fail(platform::IoFailure::kWriteFailed, "the interrupted undelete that " + journal +
                                                                 " describes could not be put back (" + reason.szText +
                                                                 "); the journal was kept");
    }
    if (!RemoveJournal(io, journal, reason)) {
        return error.Fail(reason.nCode, "the interrupted undelete was put back, but " + journal +
                                            " could not be removed (" + reason.szText + ")");
    }
    return true;
}

}  // namespace lazrine::palm
