#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/palm/PmDataHead.h"
#include "common/palm/PmFileStore.h"

namespace lazrine::palm {

// What tells one kind's extended ("PalmSG") file apart from another's.
struct PmExFileFormat {
    std::uint32_t nVersionTag;
    PmSchema defaultSchema;
    const char* szUserFolder;  // "memopad\" ...
    const char* szUserFile;    // "memopad.dat" ...
    // Bytes of the block after the recorded file name.
    std::size_t nNameBlockSize = 43;
    // The address file: nine custom field labels (each a CString and a u32)
    // and a block of nLabelBlockSize bytes follow the name block.
    bool bCustomLabels = false;
    std::size_t nLabelBlockSize = 0;
    // Byte 12 of the header block of a new, never loaded file.
    std::uint8_t nHeaderByte12 = 0;
};

// The nine custom field labels of the address file, carried whole, each
// with the u32 that follows it as it was read.
struct PmCustomLabels {
    static constexpr std::size_t kCount = 9;
    std::array<std::string, kCount> aLabels;
    std::array<std::uint32_t, kCount> aValues;

    PmCustomLabels() { Clear(); }
    void Clear() {
        for (std::size_t i = 0; i < kCount; ++i) {
            aLabels[i].clear();
            aValues[i] = 0;
        }
    }
    bool operator==(const PmCustomLabels& other) const {
        return aLabels == other.aLabels && aValues == other.aValues;
    }
};

// The extended record file of every kind: a 24-byte signature area with
// "PalmSG Database00RV", the version tag, a 24-byte header block, the recorded
// file name, a name block (43 bytes; 11 bytes and the custom field labels
// for contacts), the categories, the schema and the counted records. `Rec` derives from PmExRecordHeader, whose category name is looked
// up as each record is read.
//
// A save goes to the file that was loaded and changes only status words (see
// PmFileStore); the path recorded inside the file stays as it is.
template <class Rec>
class PmExFile : public PmFileStore<Rec> {
public:
    static constexpr std::size_t kSignatureSize = 24;
    static_assert(kSignatureSize <= PmDataHead::kSize, "the signature is checked from the file's head");
    static constexpr std::size_t kHeaderBlockSize = 24;
    static constexpr std::size_t kRecordedNameCap = 260;
    static constexpr const char* kSignatureText = "PalmSG Database00RV";

    explicit PmExFile(const PmExFileFormat& format)
        : PmFileStore<Rec>(format.szUserFolder, format.szUserFile), m_Format(format) {
        InitDefaults();
    }

    void InitDefaults() {
        this->m_bLoaded = false;
        m_nVersionTag = m_Format.nVersionTag;
        m_Schema = m_Format.defaultSchema;
        this->m_DataMgr.Clear();
        this->m_pCatMgr.reset();
        m_HeaderBlock.fill(0);
        m_HeaderBlock[12] = m_Format.nHeaderByte12;
        m_HeaderBlock[13] = 0x10;
        m_NameBlock.assign(m_Format.nNameBlockSize, 0);
        m_LabelBlock.assign(m_Format.nLabelBlockSize, 0);
        m_CustomLabels.Clear();
        m_szRecordedName.clear();
    }

    PmStoreKind StoreKind() const override { return PM_STORE_EXTENDED; }

    const PmSchema& GetSchema() const { return m_Schema; }
    const std::array<std::uint8_t, kHeaderBlockSize>& GetHeaderBlock() const { return m_HeaderBlock; }
    const std::string& GetRecordedName() const { return m_szRecordedName; }
    std::string SourceName() const override {
        return m_szRecordedName.empty() ? this->GetLoadedPath() : m_szRecordedName;
    }
    const PmCustomLabels& GetCustomLabels() const { return m_CustomLabels; }

protected:
    bool ReadHead() override { return ReadSignature(); }

    bool ReadContent() override {
        if (!ReadSignature() || !ReadVersionBlock() || !ReadNameBlock() || !ReadCustomLabels() ||
            !this->ReadCategorySection() || !this->ReadSchema(m_Schema)) {
            return false;
        }
        const std::size_t fieldCount = m_Schema.aFieldTypes.size();
        if (fieldCount == 0 || fieldCount > Rec::kFieldCount) {
            return this->Fail("the schema describes " + std::to_string(fieldCount) + " fields per record, not 1 to " +
                              std::to_string(Rec::kFieldCount));
        }
        if (m_Schema.nFieldsPerRecord != fieldCount) {
            // The records are counted with the fields per record and read
            // with the field count: where the two differ, whether each
            // status word was found where Palm Desktop keeps it cannot be
            // told, so none is changed.
            this->MarkNotWritable("the file's schema is inconsistent; its records are shown but not rewritten");
        }
        return this->ReadCountedRecords(m_Schema.nFieldsPerRecord, fieldCount, Rec::kCategoryPos);
    }

    void AssignCategoryName(Rec& rec) override {
        rec.szCategory = this->CategoryTextView(static_cast<std::int32_t>(rec.nCategoryId));
    }

private:
    bool ReadSignature() {
        std::array<std::uint8_t, kSignatureSize> area{};
        if (this->Remaining() < kSignatureSize) {
            return this->Fail("not a Palm Desktop extended data file (too short)");
        }
        if (!this->ReadBytes(area) || std::memcmp(area.data() + 5, kSignatureText, kSignatureSize - 5) != 0) {
            return this->Fail("not a Palm Desktop extended data file (no \"PalmSG Database00RV\" signature)");
        }
        return true;
    }

    bool ReadVersionBlock() {
        std::uint32_t tag = 0;
        if (!this->ReadLong(tag)) {
            return false;
        }
        if (tag != m_nVersionTag) {
            return this->Fail("the file holds another kind of Palm Desktop data (version tag " +
                              std::to_string(tag) + ")");
        }
        return this->ReadBytes(m_HeaderBlock);
    }

    bool ReadNameBlock() {
        if (!this->ReadCString(m_szRecordedName, kRecordedNameCap)) {
            return false;
        }
        m_NameBlock.assign(m_Format.nNameBlockSize, 0);
        std::size_t n = m_NameBlock.size();
        if (!this->ReadBytesCounted(m_NameBlock.data(), n) || n != m_NameBlock.size()) {
            return this->Fail("the file ends inside its name block");
        }
        return true;
    }

    // The labels are kept whole, however long, so that nothing of the file
    // is lost on a save.
    bool ReadCustomLabels() {
        if (!m_Format.bCustomLabels) {
            return true;
        }
        m_CustomLabels.Clear();
        for (std::size_t i = 0; i < PmCustomLabels::kCount; ++i) {
            if (!this->ReadCString(m_CustomLabels.aLabels[i], 0xFFFF) ||
                !this->ReadLong(m_CustomLabels.aValues[i])) {
                return this->FailIn("custom field label " + std::to_string(i + 1) + " is damaged");
            }
        }
        m_LabelBlock.assign(m_Format.nLabelBlockSize, 0);
        if (this->Remaining() < m_LabelBlock.size() || !this->ReadBytes(m_LabelBlock)) {
            return this->Fail("the file ends inside its label block");
        }
        return true;
    }

    PmExFileFormat m_Format;
    std::uint32_t m_nVersionTag = 0;
    PmSchema m_Schema;
    std::array<std::uint8_t, kHeaderBlockSize> m_HeaderBlock{};
    std::vector<std::uint8_t> m_NameBlock;
    PmCustomLabels m_CustomLabels;
    std::vector<std::uint8_t> m_LabelBlock;
    std::string m_szRecordedName;
};

}  // namespace lazrine::palm
