#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "common/palm/PmDBUtil.h"
#include "common/palm/PmDataHead.h"
#include "common/palm/PmDataMgr.h"
#include "common/palm/PmStore.h"
#include "common/palm/desktop/PmUserDataPath.h"

namespace lazrine::palm {

// The machinery shared by every record-file store, extended or classic, of
// every kind: loading a whole file, the counted records, saving crash-safely
// to the file that was loaded, and the store interface of the record sets.
//
// A save changes nothing but status words: the store keeps the bytes it
// loaded and where each record's status value lies in them, and writes those
// bytes back with each record's current status at its place. Every other
// byte - tags, string attributes, categories, texts of any length, fields
// the record type does not describe - is written exactly as it was read.
//
// The records' texts and binary fields are views into those same bytes, not
// copies: a load holds the file once. The bytes are read into one buffer
// that is moved, never copied or grown, into the store once the records are
// read; a save only overwrites status words, never a text; and the records
// are cleared together with the bytes. So every view stays valid for as
// long as its record exists.
// A generation adds its container (ReadContent); a kind adds its
// record type `Rec`, which describes its fields (see PmFieldRef).
template <class Rec>
class PmFileStore : public PmDBUtil, public PmStore {
public:
    PmFileStore(const char* userFolder, const char* userFile) : m_szUserFolder(userFolder), m_szUserFile(userFile) {}

    bool IsLoaded() const override { return m_bLoaded; }

    bool Load(const std::string& path) override {
        BeginLoad();
        if (!HeadMayFit(path) || !Open(path, PM_OPEN_READWRITE)) {
            return false;
        }
        m_szLoadedPath = path;
        return FinishLoad();
    }

    // Loads from bytes in memory; nothing is associated with a file, so a
    // later Save() fails (WriteToMemory works).
    bool LoadBytes(std::span<const std::uint8_t> bytes) {
        BeginLoad();
        OpenBytes(bytes);
        return FinishLoad();
    }

private:
    // False, with ReadHead's reason, when the first bytes of `path` already
    // show that this store cannot read it: a file of another generation is
    // then not read whole once per store it is tried with. A head that
    // cannot be read decides nothing; the whole read reports why.
    bool HeadMayFit(const std::string& path) {
        std::vector<std::uint8_t> head;
        if (!PmDataHead::Read(path, head)) {
            return true;
        }
        OpenBytes(head);
        const bool fits = ReadHead();
        Close();
        if (fits) {
            ClearError();
        }
        return fits;
    }

    void BeginLoad() {
        ClearError();
        m_bLoaded = false;
        m_bWritable = true;
        m_szNotWritableReason.clear();
        m_szLoadedPath.clear();
        ClearRecords();
    }

    void ClearRecords() {
        m_DataMgr.Clear();
        m_Bytes.clear();
        m_Bytes.shrink_to_fit();
        m_StatusOffsets.clear();
        m_StatusOffsets.shrink_to_fit();
        m_Trailing.clear();
        m_Trailing.shrink_to_fit();
    }

    bool FinishLoad() {
        const bool ok = ReadContent();
        m_Bytes = TakeInput();
        if (!ok) {
            // A partly read file is never offered as records.
            ClearRecords();
        }
        m_bLoaded = ok;
        return ok;
    }

public:
    // Loads "<user data folder><folder><file>" of the user.
    bool LoadForUser(std::uint32_t userId) override {
        ClearError();
        m_bLoaded = false;
        ClearRecords();
        std::string path;
        std::string error;
        if (!PmUserDataPath::DataFilePath(userId, m_szUserFolder, m_szUserFile, path, error)) {
            return Fail(error);
        }
        return Load(path);
    }

    // Writes the file that was loaded back with every record's current
    // status word; nothing else changes.
    bool Save() override {
        ClearError();
        if (!m_bLoaded || m_szLoadedPath.empty()) {
            return Fail("nothing was loaded from a file to save");
        }
        if (!m_bWritable) {
            return Fail(m_szNotWritableReason);
        }
        return PatchStatusWords() && CommitBytes(m_szLoadedPath, m_Bytes);
    }

    // The bytes a save would write, without touching the disk.
    bool WriteToMemory(std::vector<std::uint8_t>& out) {
        ClearError();
        if (!m_bLoaded) {
            return Fail("nothing was loaded");
        }
        if (!PatchStatusWords()) {
            return false;
        }
        out = m_Bytes;
        return true;
    }

    void Clear() override { ClearRecords(); }
    std::size_t Count() const override { return m_DataMgr.Count(); }
    std::uint32_t RecordIdAt(std::size_t i) const override { return m_DataMgr.At(i).nRecordId; }
    std::uint32_t StatusAt(std::size_t i) const override { return m_DataMgr.At(i).nStatus; }
    void SetStatusAt(std::size_t i, std::uint32_t status) override { m_DataMgr.At(i).nStatus = status; }
    const std::string& LastError() const override { return m_szLastError; }
    platform::IoFailure LastFailure() const override { return this->m_nLastFailure; }

    PmDataMgr<Rec>& GetDataMgr() { return m_DataMgr; }
    const PmDataMgr<Rec>& GetDataMgr() const { return m_DataMgr; }
    const std::string& GetLoadedPath() const { return m_szLoadedPath; }
    // The bytes after the last counted record, kept for the writer.
    const std::vector<std::uint8_t>& TrailingBytes() const { return m_Trailing; }

protected:
    // Reads everything after opening.
    virtual bool ReadContent() = 0;
    // Reads and checks what the file's first PmDataHead::kSize bytes say of
    // its generation and kind, failing with the reason ReadContent gives
    // for it: every check here depends on those bytes alone, so that a file
    // refused by its head would be refused whole with the same words.
    virtual bool ReadHead() { return true; }

    // Refuses later saves of a file whose status words cannot be located
    // with certainty.
    void MarkNotWritable(const std::string& reason) {
        m_bWritable = false;
        m_szNotWritableReason = reason;
    }

    // Reads the u32 entry count and entries / fieldsPerRecord records of
    // `fieldsToRead` fields each. `categoryPos` (or -1) is the position after
    // which a record's category name is looked up.
    //
    // A position the record type does not describe is passed over whatever
    // field it holds, and the bytes after the last counted record (data
    // appended, or records beyond the entry count) are kept as they are.
    bool ReadCountedRecords(std::uint32_t fieldsPerRecord, std::size_t fieldsToRead, int categoryPos) {
        m_DataMgr.Clear();
        m_Trailing.clear();
        m_Trailing.shrink_to_fit();
        std::uint32_t entries = 0;
        if (!ReadLong(entries)) {
            return false;
        }
        if (fieldsPerRecord == 0) {
            return Fail("the schema gives no fields per record");
        }
        const std::uint32_t records = entries / fieldsPerRecord;
        // Every field takes at least 8 bytes: a count beyond what remains of
        // the file fails at once instead of driving an allocation.
        if (fieldsToRead == 0 ? records != 0
                              : static_cast<std::uint64_t>(records) * fieldsToRead * 8 > Remaining()) {
            return Fail("the record count " + std::to_string(records) + " is larger than the file can hold");
        }
        m_DataMgr.Records().reserve(records);
        m_StatusOffsets.assign(records, kNoOffset);
        std::vector<std::uint8_t> raw;
        std::vector<Rec>& recs = m_DataMgr.Records();
        for (std::uint32_t r = 0; r < records; ++r) {
            // Built in place: the room reserved above keeps every earlier
            // record where it is.
            Rec& rec = recs.emplace_back();
            raw.clear();
            PrepareRecord(rec);
            for (std::size_t pos = 0; pos < fieldsToRead; ++pos) {
                const PmFieldRef ref = Rec::Field(rec, pos);
                const bool ok = std::holds_alternative<std::monostate>(ref.target) ? ReadRawField(raw) : ReadField(ref);
                if (!ok) {
                    m_DataMgr.Clear();
                    m_StatusOffsets.clear();
                    return FailIn("record " + std::to_string(r + 1) + " is damaged");
                }
                if (const auto* number = std::get_if<std::uint32_t*>(&ref.target); number && *number == &rec.nStatus) {
                    // A number field ends with its u32 value.
                    m_StatusOffsets[r] = Tell() - 4;
                }
                if (static_cast<int>(pos) == categoryPos) {
                    AssignCategoryName(rec);
                }
            }
        }
        ReadRest(m_Trailing);
        return true;
    }

    // Puts every record's status word into the loaded bytes. A record whose
    // status the file does not hold (its schema ends before it) was loaded
    // as not deleted and can only be saved unchanged.
    bool PatchStatusWords() {
        const std::vector<Rec>& recs = m_DataMgr.Records();
        if (m_StatusOffsets.size() != recs.size()) {
            return Fail("the records do not match the file they were loaded from");
        }
        for (std::size_t r = 0; r < recs.size(); ++r) {
            const std::size_t at = m_StatusOffsets[r];
            const std::uint32_t v = recs[r].nStatus;
            if (at == kNoOffset || at + 4 > m_Bytes.size()) {
                if (v != 0) {
                    return Fail("record " + std::to_string(recs[r].nRecordId) + " has no status word in the file");
                }
                continue;
            }
            for (std::size_t b = 0; b < 4; ++b) {
                m_Bytes[at + b] = static_cast<std::uint8_t>(v >> (8 * b));
            }
        }
        return true;
    }

    virtual void AssignCategoryName(Rec& /*rec*/) {}
    // Sets up an empty record before its fields are read (for a layout that
    // depends on how the store was set up, such as the name order).
    virtual void PrepareRecord(Rec& /*rec*/) {}

    PmDataMgr<Rec> m_DataMgr;
    bool m_bLoaded = false;
    std::string m_szLoadedPath;

private:
    static constexpr std::size_t kNoOffset = static_cast<std::size_t>(-1);
    // The bytes of the file as loaded (with the status words of the last
    // save), and per record where its status value lies in them.
    std::vector<std::uint8_t> m_Bytes;
    std::vector<std::size_t> m_StatusOffsets;
    std::vector<std::uint8_t> m_Trailing;
    const char* m_szUserFolder;
    const char* m_szUserFile;
    bool m_bWritable = true;
    std::string m_szNotWritableReason;
};

}  // namespace lazrine::palm
