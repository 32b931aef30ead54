#pragma once

#include <string>

#include "common/palm/PmClassicFile.h"
#include "common/palm/PmDateRec.h"

namespace lazrine::palm {

using PmDateDataMgr = PmDataMgr<PmDateRec>;

// The classic date book file ("datebook\datebook.dat", version tag
// 0x44420100). Every record is kept, also one whose start or end is
// 0xFFFFFFFF, and the header text is kept whole.
class PmDateUtil : public PmClassicFile<PmDateRec> {
public:
    static constexpr std::uint32_t kVersionTag = 0x44420100;
    static const PmClassicFileFormat& Format();

    PmDateUtil() : PmClassicFile(Format()) {}
    explicit PmDateUtil(const std::string& path) : PmClassicFile(Format()) { m_bLoaded = Load(path); }
};

}  // namespace lazrine::palm
