#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/palm/PmAddrRec.h"
#include "common/palm/PmClassicFile.h"

namespace lazrine::palm {

using PmAddrDataMgr = PmDataMgr<PmAddrRec>;

// The classic address file ("address\address.dat", version tag 0x41420100).
// Its header text is kept whole, however many lines it has; its schema must
// lie within the 30 positions of a contact. The name swap setting works as
// for the extended address file (see PmAddrExUtil), with position 3 the last
// name while it is clear.
class PmAddrUtil : public PmClassicFile<PmAddrRec> {
public:
    static constexpr std::uint32_t kVersionTag = 0x41420100;
    static const PmClassicFileFormat& Format();

    PmAddrUtil() : PmClassicFile(Format()) {}
    explicit PmAddrUtil(const std::string& path, bool swapName = false) : PmClassicFile(Format()) {
        m_bSwapName = swapName;
        m_bLoaded = Load(path);
    }

    // The custom field labels the header text names: its first four lines
    // (split at CR LF, LF or CR) when more lines follow them, the show
    // header; each empty when the file names none.
    static std::array<std::string, PmAddrRec::kCustomCount> CustomLabels(const std::string& headerText);
    std::array<std::string, PmAddrRec::kCustomCount> GetCustomLabels() const { return CustomLabels(GetHeaderText()); }

    void SetSwapName(bool swap) { m_bSwapName = swap; }
    bool GetSwapName() const { return m_bSwapName; }

protected:
    void PrepareRecord(PmAddrRec& rec) override { rec.bSwapName = m_bSwapName; }

private:
    bool m_bSwapName = false;
};

}  // namespace lazrine::palm
