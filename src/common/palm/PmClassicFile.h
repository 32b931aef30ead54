#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/palm/PmFileStore.h"

namespace lazrine::palm {

// What tells one kind's classic file apart from another's.
struct PmClassicFileFormat {
    std::uint32_t nVersionTag;
    PmSchema defaultSchema;
    const char* szUserFolder;
    const char* szUserFile;
    // The longest header text that loads (the address and date book files'
    // are kept whole).
    std::size_t nHeaderTextCap = 256;
    // Whether the schema must lie within the record's layout: no more field
    // types or fields per record than the record describes, so that a file
    // whose records would be read out of step fails instead.
    bool bSchemaWithinRecord = false;
};

// The classic record file of every kind (Palm Desktop before 4.1.2): the
// version tag, the recorded file name, a header text, the categories, the
// schema and the counted records. Positions are counted with the schema's
// fields per record; positions the record type does not describe are carried
// as raw bytes when the file holds them (see ReadRecords), and bytes after the
// last counted record are kept as they are.
//
// A save goes to the file that was loaded and changes only status words (see
// PmFileStore).
template <class Rec>
class PmClassicFile : public PmFileStore<Rec> {
public:
    static constexpr std::size_t kTextCap = 256;

    explicit PmClassicFile(const PmClassicFileFormat& format)
        : PmFileStore<Rec>(format.szUserFolder, format.szUserFile), m_Format(format) {
        InitDefaults();
    }

    void InitDefaults() {
        this->m_bLoaded = false;
        m_nVersionTag = m_Format.nVersionTag;
        m_Schema = m_Format.defaultSchema;
        m_nFieldsRead = Described();
        m_szHeaderText.clear();
        m_szRecordedName.clear();
        this->m_DataMgr.Clear();
        this->m_pCatMgr.reset();
    }

    PmStoreKind StoreKind() const override { return PM_STORE_CLASSIC; }

    const PmSchema& GetSchema() const { return m_Schema; }
    const std::string& GetHeaderText() const { return m_szHeaderText; }
    const std::string& GetRecordedName() const { return m_szRecordedName; }
    std::string SourceName() const override {
        return m_szRecordedName.empty() ? this->GetLoadedPath() : m_szRecordedName;
    }

protected:
    bool ReadHead() override {
        std::uint32_t tag = 0;
        if (!this->ReadLong(tag)) {
            return false;
        }
        if (tag != m_nVersionTag) {
            return this->Fail("not a classic Palm Desktop file of this kind (version tag " + std::to_string(tag) +
                              ")");
        }
        return true;
    }

    bool ReadContent() override {
        if (!ReadHead() || !this->ReadCString(m_szRecordedName, kTextCap) ||
            !this->ReadCString(m_szHeaderText, m_Format.nHeaderTextCap) || !this->ReadCategorySection() ||
            !this->ReadSchema(m_Schema)) {
            return false;
        }
        if (m_Format.bSchemaWithinRecord &&
            (m_Schema.aFieldTypes.size() > Rec::kFieldCount || m_Schema.nFieldsPerRecord > Rec::kFieldCount)) {
            return this->Fail("the schema describes " + std::to_string(m_Schema.aFieldTypes.size()) +
                              " field types and " + std::to_string(m_Schema.nFieldsPerRecord) +
                              " fields per record, more than the " + std::to_string(Rec::kFieldCount) +
                              " of this kind's records");
        }
        return ReadRecords();
    }

    void AssignCategoryName(Rec& rec) override {
        if constexpr (requires { rec.szCategory; }) {
            rec.szCategory = this->CategoryTextView(static_cast<std::int32_t>(rec.nCategoryId));
        }
    }

private:
    static constexpr int CategoryPos() {
        if constexpr (requires { Rec::kCategoryPos; }) {
            return Rec::kCategoryPos;
        } else {
            return -1;
        }
    }

    // A schema counting more positions than the record type describes is
    // read two ways: with every counted position in the file (the extra ones
    // kept as raw fields), and with only the described positions in the file.
    // The way whose records end where the file ends wins, the first when
    // both do; when neither does, the way that reads at all, the described
    // one first, keeping the rest of the file as trailing bytes.
    bool ReadRecords() {
        const std::size_t start = this->Tell();
        const std::uint32_t perRecord = m_Schema.nFieldsPerRecord;
        m_nFieldsRead = Described();
        if (perRecord <= m_nFieldsRead) {
            return this->ReadCountedRecords(perRecord, m_nFieldsRead, CategoryPos());
        }
        const auto attempt = [&](std::size_t fields) {
            this->ClearError();
            m_nFieldsRead = fields;
            return this->Rewind(start) && this->ReadCountedRecords(perRecord, fields, CategoryPos());
        };
        const bool allCounted = attempt(perRecord);
        if (allCounted && this->TrailingBytes().empty()) {
            return true;
        }
        if (attempt(Described())) {
            return true;
        }
        const std::string describedError = this->LastError();
        if (allCounted && attempt(perRecord)) {
            return true;
        }
        this->ClearError();
        return this->Fail(describedError);
    }

    std::size_t Described() const {
        return m_Schema.nFieldsPerRecord < Rec::kFieldCount ? m_Schema.nFieldsPerRecord : Rec::kFieldCount;
    }

    PmClassicFileFormat m_Format;
    std::uint32_t m_nVersionTag = 0;
    std::string m_szHeaderText;
    std::string m_szRecordedName;
    PmSchema m_Schema;
    // The positions per record the last load read (and a save writes).
    std::size_t m_nFieldsRead = 0;
};

}  // namespace lazrine::palm
