#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/palm/PmCategoryMgr.h"
#include "common/palm/PmFieldRef.h"
#include "common/palm/PmTypes.h"
#include "platform/AtomicFile.h"
#include "platform/FileFingerprint.h"
#include "platform/IoError.h"

namespace lazrine::palm {

enum PmOpenMode : std::uint32_t {
    PM_OPEN_READ = 0,
    PM_OPEN_WRITE = 1,
    PM_OPEN_READWRITE = 2,
    PM_OPEN_CREATE = 3,
};

// The codec base of every record file: the little-endian primitives, the
// CString form, the typed fields and the category section.
//
// Reading works on the whole file read into memory under an exclusive lock
// (released before Open returns), so that every read is checked against the
// bytes that remain: a corrupt length or count fails at once and never drives
// an allocation larger than the file. The write primitives assemble the
// field forms in memory (see Written()); a store saves by handing the bytes
// it loaded, with its status words put in, to CommitBytes(), which replaces
// the file crash-safely (see platform::AtomicFile). Every operation reports
// failure by returning false and leaves a reason in LastError(); nothing
// throws.
class PmDBUtil {
public:
    PmDBUtil() = default;
    virtual ~PmDBUtil() = default;
    PmDBUtil(const PmDBUtil&) = delete;
    PmDBUtil& operator=(const PmDBUtil&) = delete;

    // Reads the whole file `path` for the Read* primitives. Modes other than
    // the four defined ones fail, as does an empty path or a missing file.
    bool Open(const std::string& path, PmOpenMode mode);
    // Reads from `bytes` instead of a file (for checks of untrusted data
    // without touching the disk).
    bool OpenBytes(std::span<const std::uint8_t> bytes);
    // Drops the bytes read and any unwritten output.
    void Close();
    // Hands the bytes read over to the caller and closes.
    std::vector<std::uint8_t> TakeInput();
    bool IsOpen() const { return m_bOpen; }

    // --- reading -------------------------------------------------------------
    bool ReadBytes(std::span<std::uint8_t> out);
    // Reads up to `n` bytes; `n` becomes the number read.
    bool ReadBytesCounted(std::uint8_t* out, std::size_t& n);
    bool ReadLong(std::uint32_t& v);
    bool ReadShort(std::uint16_t& v);
    bool ReadByte(std::uint8_t& v);
    bool ReadQuad(PmQuad& v);
    // Reads a CString; fails without consuming the text when its length is
    // above `cap` (then `length` holds the length).
    bool ReadCString(std::string& out, std::size_t cap, std::size_t* length = nullptr);
    // The same as a view into the bytes read, which must outlive it.
    bool ReadCStringView(std::string_view& out, std::size_t cap, std::size_t* length = nullptr);
    // Tag 1, 3 or 6, then a u32.
    bool ReadIntField(std::uint32_t& v);
    // Tag 5, a u32 attribute and a CString. The whole text is kept: what a
    // display shows is cut by the common records, never by the codec, so
    // that a save writes every text back whole.
    bool ReadStringField(std::string& out, std::uint32_t& attr);
    // The same, with `out` the text inside the bytes read (no copy; valid
    // while they are held, see TakeInput).
    bool ReadStringFieldView(std::string_view& out, std::uint32_t& attr);
    bool ReadBlobField(PmBlobField& blob);
    bool ReadQuadField(PmQuad& v);
    // Appends the bytes of the next field, whatever its type, to `out`
    // unchanged: numbers (tags 1, 3, 6), texts (5), quads (68) and, for any
    // other tag, the binary form of ReadBlobField. Fails, consuming nothing,
    // when the field runs past the end of the data.
    bool ReadRawField(std::vector<std::uint8_t>& out);
    // The size of the field that begins `bytes` as ReadRawField reads it; 0
    // when `bytes` does not hold a whole field.
    static std::size_t RawFieldSize(std::span<const std::uint8_t> bytes);
    // Replaces `out` by every byte not read yet, and consumes them.
    void ReadRest(std::vector<std::uint8_t>& out);
    // Moves the read position back to `pos` (at most the current position).
    bool Rewind(std::size_t pos);
    // Tag 8, the exception dates and the repeat rule, with its class given by
    // a full declaration or a class reference (see PmRepeatRule).
    bool ReadRepeatField(PmRepeatRule& rule);
    // Current read position (or the size written so far while writing).
    std::size_t Tell() const;
    std::size_t Remaining() const { return m_Input.size() - m_nPos; }

    // --- writing -------------------------------------------------------------
    // Starts assembling a new file in memory (see Written()), with room for
    // `expectedSize` bytes so that a large file is not copied while it grows.
    void BeginWrite(std::size_t expectedSize = 0);
    bool WriteBytes(std::span<const std::uint8_t> data);
    bool WriteLong(std::uint32_t v);
    bool WriteShort(std::uint16_t v);
    bool WriteByte(std::uint8_t v);
    bool WriteQuad(const PmQuad& v);
    // One length byte for 0..254, else 0xFF and a u16. A text of 65,536 bytes
    // or more cannot be represented and fails instead of wrapping its length.
    bool WriteCString(const std::string& text);
    bool WriteIntField(std::uint32_t v) { return WriteTypedInt(PM_FIELD_INTEGER, v); }
    bool WriteDateField(std::uint32_t v) { return WriteTypedInt(PM_FIELD_DATE, v); }
    bool WriteBoolField(std::uint32_t v) { return WriteTypedInt(PM_FIELD_BOOLEAN, v); }
    bool WriteTypedInt(std::uint32_t tag, std::uint32_t v);
    bool WriteStringField(const std::string& text, std::uint32_t attr);
    bool WriteBlobField(const PmBlobField& blob);
    bool WriteQuadField(const PmQuad& v);
    // Writes a repeat field back in the form it was read: its exception
    // dates, its class marker or declaration, the rule header and the values
    // of its kind. A rule of a kind without a class name, that was not read
    // with one, cannot be written and fails with the reason.
    bool WriteRepeatField(const PmRepeatRule& rule);
    // Replaces the file `path` by `content`, crash-safely, keeping a backup
    // of the original (see platform::AtomicFile). When `path` is the file
    // last opened, it must still hold what was read (or what the last commit
    // wrote): a file changed by another program in between is refused,
    // unchanged (kChangedSinceLoaded). A commit that replaced the file but
    // could not make it durable fails with kReplacedNotDurable: the file is
    // changed, though the change may not survive a crash.
    bool CommitBytes(const std::string& path, std::span<const std::uint8_t> content);
    const std::vector<std::uint8_t>& Written() const { return m_Output; }

    // --- categories ----------------------------------------------------------
    // Reads the category section into a new list with "Unfiled" in slot 0.
    bool ReadCategorySection();
    // Copies the whole name of the category with that id.
    bool GetCategoryText(std::int32_t id, std::string& out) const;
    // The name itself, held by the category list until the next category
    // section is read; empty for an unknown id.
    std::string_view CategoryTextView(std::int32_t id) const;
    const PmCategoryMgr* GetCategoryMgr() const { return m_pCatMgr.get(); }

    // --- record fields -------------------------------------------------------
    // Reads the field `ref` points at with the reader of its type (numbers
    // accept tags 1, 3 and 6; texts drop their attribute). An empty `ref`
    // reads nothing and succeeds.
    bool ReadField(const PmFieldRef& ref);

    // --- schema --------------------------------------------------------------
    bool ReadSchema(PmSchema& schema);
    bool WriteSchema(const PmSchema& schema);

    const std::string& GetFileName() const { return m_szFileName; }
    const std::string& LastError() const { return m_szLastError; }
    // The kind of the failure LastError() tells; kOther for a malformed file.
    platform::IoFailure LastFailure() const { return m_nLastFailure; }

protected:
    bool Fail(const std::string& reason);
    bool Fail(const platform::IoError& error);
    // Puts `context` in front of the reason already recorded; returns false.
    bool FailIn(const std::string& context);
    void ClearError() {
        m_szLastError.clear();
        m_nLastFailure = platform::IoFailure::kNone;
    }

    std::string m_szFileName;
    std::unique_ptr<PmCategoryMgr> m_pCatMgr;
    std::string m_szLastError;
    platform::IoFailure m_nLastFailure = platform::IoFailure::kNone;

private:
    bool m_bOpen = false;
    std::vector<std::uint8_t> m_Input;
    std::size_t m_nPos = 0;
    bool m_bWriting = false;
    std::vector<std::uint8_t> m_Output;
    // What the file named m_szFileName held when read or last written.
    platform::FileFingerprint m_Loaded;
};

}  // namespace lazrine::palm
