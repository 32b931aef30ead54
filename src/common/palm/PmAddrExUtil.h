#pragma once

#include <string>

#include "common/palm/PmAddrExRec.h"
#include "common/palm/PmExFile.h"

namespace lazrine::palm {

using PmAddrExDataMgr = PmDataMgr<PmAddrExRec>;

// The extended address file ("address\address.dat", version tag 0x41420200):
// an 11-byte name block, the nine custom field labels and a 42-byte label
// block before the categories, and 73 fields per contact.
//
// The name swap setting (SetSwapName) decides for the records read after it
// whether position 13 is the first name (clear) or the last name (set); each
// record keeps the order it was read with, so a load followed by a save puts
// both names back where they came from whatever the setting is by then.
class PmAddrExUtil : public PmExFile<PmAddrExRec> {
public:
    static constexpr std::uint32_t kVersionTag = 0x41420200;
    static const PmExFileFormat& Format();

    PmAddrExUtil() : PmExFile(Format()) {}
    // Loads `path` at once with the given name order; IsLoaded() tells the result.
    explicit PmAddrExUtil(const std::string& path, bool swapName = false) : PmExFile(Format()) {
        m_bSwapName = swapName;
        m_bLoaded = Load(path);
    }

    void SetSwapName(bool swap) { m_bSwapName = swap; }
    bool GetSwapName() const { return m_bSwapName; }

protected:
    void PrepareRecord(PmAddrExRec& rec) override { rec.bSwapName = m_bSwapName; }

private:
    bool m_bSwapName = false;
};

}  // namespace lazrine::palm
