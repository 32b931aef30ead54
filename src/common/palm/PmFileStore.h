#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/palm/PmDBUtil.h"
#include "common/palm/PmDataMgr.h"
#include "common/palm/PmStore.h"
#include "common/palm/desktop/PmUserDataPath.h"

namespace lazrine::palm {

// The machinery shared by every record-file store, extended or classic, of
// every kind: loading a whole file, the counted records, saving crash-safely
// to the file that was loaded, and the store interface of the record sets.
// A generation adds its container (ReadContent/WriteContent); a kind adds its
// record type `Rec`, which describes its fields (see PmFieldRef).
template <class Rec>
class PmFileStore : public PmDBUtil, public PmStore {
public:
    PmFileStore(const char* userFolder, const char* userFile) : m_szUserFolder(userFolder), m_szUserFile(userFile) {}

    bool IsLoaded() const override { return m_bLoaded; }

    bool Load(const std::string& path) override {
        BeginLoad();
        if (!Open(path, PM_OPEN_READWRITE)) {
            return false;
        }
        m_szLoadedPath = path;
        return FinishLoad();
    }

    // Loads from bytes in memory; nothing is associated with a file, so a
    // later Save() fails (SaveAs and WriteToMemory work).
    bool LoadBytes(std::span<const std::uint8_t> bytes) {
        BeginLoad();
        OpenBytes(bytes);
        return FinishLoad();
    }

private:
    void BeginLoad() {
        ClearError();
        m_bLoaded = false;
        m_bWritable = true;
        m_szNotWritableReason.clear();
        m_szLoadedPath.clear();
        m_DataMgr.Clear();
    }

    bool FinishLoad() {
        const bool ok = ReadContent();
        Close();
        if (!ok) {
            // A partly read file is never offered as records.
            m_DataMgr.Clear();
        }
        m_bLoaded = ok;
        return ok;
    }

public:
    // Loads "<user data folder><folder><file>" of the user.
    bool LoadForUser(std::uint32_t userId) override {
        ClearError();
        m_bLoaded = false;
        m_DataMgr.Clear();
        std::string path;
        std::string error;
        if (!PmUserDataPath::DataFilePath(userId, m_szUserFolder, m_szUserFile, path, error)) {
            return Fail(error);
        }
        return Load(path);
    }

    // Rewrites the file that was loaded.
    bool Save() override {
        if (!m_bLoaded || m_szLoadedPath.empty()) {
            ClearError();
            return Fail("nothing was loaded from a file to save");
        }
        return SaveAs(m_szLoadedPath);
    }

    // Replaces the existing file `path` by the held content, crash-safely and
    // keeping a backup of the original.
    bool SaveAs(const std::string& path) {
        ClearError();
        if (!m_bWritable) {
            return Fail(m_szNotWritableReason);
        }
        // The new file is about as large as the one loaded.
        BeginWrite(this->LastInputSize() + this->LastInputSize() / 64 + 4096);
        const bool ok = WriteContent() && CommitWrite(path);
        Close();
        return ok;
    }

    // The bytes a save would write, without touching the disk.
    bool WriteToMemory(std::vector<std::uint8_t>& out) {
        ClearError();
        BeginWrite();
        const bool ok = WriteContent();
        if (ok) {
            out = Written();
        }
        Close();
        return ok;
    }

    void Clear() override { m_DataMgr.Clear(); }
    std::size_t Count() const override { return m_DataMgr.Count(); }
    std::uint32_t RecordIdAt(std::size_t i) const override { return m_DataMgr.At(i).nRecordId; }
    std::uint32_t StatusAt(std::size_t i) const override { return m_DataMgr.At(i).nStatus; }
    void SetStatusAt(std::size_t i, std::uint32_t status) override { m_DataMgr.At(i).nStatus = status; }
    const std::string& LastError() const override { return m_szLastError; }

    PmDataMgr<Rec>& GetDataMgr() { return m_DataMgr; }
    const PmDataMgr<Rec>& GetDataMgr() const { return m_DataMgr; }
    const std::string& GetLoadedPath() const { return m_szLoadedPath; }

protected:
    // Reads everything after opening; writes everything before committing.
    virtual bool ReadContent() = 0;
    virtual bool WriteContent() = 0;

    // Refuses later saves of a file that could not be written back as read.
    void MarkNotWritable(const std::string& reason) {
        m_bWritable = false;
        m_szNotWritableReason = reason;
    }

    // Reads the u32 entry count and entries / fieldsPerRecord records of
    // `fieldsToRead` fields each. `categoryPos` (or -1) is the position after
    // which a record's category name is looked up.
    bool ReadCountedRecords(std::uint32_t fieldsPerRecord, std::size_t fieldsToRead, int categoryPos) {
        m_DataMgr.Clear();
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
        for (std::uint32_t r = 0; r < records; ++r) {
            Rec rec{};
            for (std::size_t pos = 0; pos < fieldsToRead; ++pos) {
                if (!ReadField(Rec::Field(rec, pos))) {
                    return FailIn("record " + std::to_string(r + 1) + " is damaged");
                }
                if (static_cast<int>(pos) == categoryPos) {
                    AssignCategoryName(rec);
                }
            }
            m_DataMgr.Add(std::move(rec));
        }
        return true;
    }

    // Writes the entry count (records x fieldsPerRecord, modulo 2^32) and
    // `fieldsToWrite` fields of every record.
    bool WriteCountedRecords(std::uint32_t fieldsPerRecord, std::size_t fieldsToWrite) {
        const auto entries = static_cast<std::uint32_t>(m_DataMgr.Count() * fieldsPerRecord);
        if (!WriteLong(entries)) {
            return false;
        }
        for (Rec& rec : m_DataMgr.Records()) {
            for (std::size_t pos = 0; pos < fieldsToWrite; ++pos) {
                if (!WriteField(Rec::Field(rec, pos))) {
                    return FailIn("cannot write record " + std::to_string(rec.nRecordId));
                }
            }
        }
        return true;
    }

    virtual void AssignCategoryName(Rec& /*rec*/) {}

    PmDataMgr<Rec> m_DataMgr;
    bool m_bLoaded = false;
    std::string m_szLoadedPath;

private:
    const char* m_szUserFolder;
    const char* m_szUserFile;
    bool m_bWritable = true;
    std::string m_szNotWritableReason;
};

}  // namespace lazrine::palm
