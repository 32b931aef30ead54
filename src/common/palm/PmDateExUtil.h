#pragma once

#include <string>

#include "common/palm/PmDateExRec.h"
#include "common/palm/PmExFile.h"

namespace lazrine::palm {

using PmDateExDataMgr = PmDataMgr<PmDateExRec>;

// The extended date book file ("datebook\datebook.dat", version tag
// 0x44420200).
class PmDateExUtil : public PmExFile<PmDateExRec> {
public:
    static constexpr std::uint32_t kVersionTag = 0x44420200;
    static const PmExFileFormat& Format();

    PmDateExUtil() : PmExFile(Format()) {}
    // Loads `path` at once; IsLoaded() tells the result.
    explicit PmDateExUtil(const std::string& path) : PmExFile(Format()) { m_bLoaded = Load(path); }
};

}  // namespace lazrine::palm
