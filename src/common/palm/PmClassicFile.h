#pragma once

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
};

// The classic record file of every kind (Palm Desktop before 4.1.2): the
// version tag, the recorded file name, a header text, the categories, the
// schema and the counted records. Positions are counted with the schema's
// fields per record; positions the record type does not describe read and
// write nothing.
//
// A load followed by a save reproduces the file except for the category
// section's dirty flags and second names, the string attributes (always 1),
// numeric tags (as the record type gives them) and an entry count that was
// not a whole multiple of the fields per record. Texts are kept whole. A save
// goes to the file that was loaded; the recorded path is written back as it
// was.
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
        m_szHeaderText.clear();
        m_szRecordedName.clear();
        this->m_DataMgr.Clear();
        this->m_pCatMgr.reset();
    }

    PmStoreKind StoreKind() const override { return PM_STORE_CLASSIC; }

    const PmSchema& GetSchema() const { return m_Schema; }
    const std::string& GetHeaderText() const { return m_szHeaderText; }
    const std::string& GetRecordedName() const { return m_szRecordedName; }

protected:
    bool ReadContent() override {
        std::uint32_t tag = 0;
        if (!this->ReadLong(tag)) {
            return false;
        }
        if (tag != m_nVersionTag) {
            return this->Fail("not a classic Palm Desktop file of this kind (version tag " + std::to_string(tag) +
                              ")");
        }
        return this->ReadCString(m_szRecordedName, kTextCap) && this->ReadCString(m_szHeaderText, kTextCap) &&
               this->ReadCategorySection() && this->ReadSchema(m_Schema) &&
               this->ReadCountedRecords(m_Schema.nFieldsPerRecord, Described(), -1);
    }

    bool WriteContent() override {
        return this->WriteLong(m_nVersionTag) && this->WriteCString(m_szRecordedName) &&
               this->WriteCString(m_szHeaderText) && this->WriteCategorySection() && this->WriteSchema(m_Schema) &&
               this->WriteCountedRecords(m_Schema.nFieldsPerRecord, Described());
    }

private:
    std::size_t Described() const {
        return m_Schema.nFieldsPerRecord < Rec::kFieldCount ? m_Schema.nFieldsPerRecord : Rec::kFieldCount;
    }

    PmClassicFileFormat m_Format;
    std::uint32_t m_nVersionTag = 0;
    std::string m_szHeaderText;
    std::string m_szRecordedName;
    PmSchema m_Schema;
};

}  // namespace lazrine::palm
