#pragma once

#include <string>

#include "common/palm/PmExFile.h"
#include "common/palm/PmMemoExRec.h"

namespace lazrine::palm {

using PmMemoExDataMgr = PmDataMgr<PmMemoExRec>;

// The extended memo file ("memopad\memopad.dat", version tag 0x4D500200).
class PmMemoExUtil : public PmExFile<PmMemoExRec> {
public:
    static constexpr std::uint32_t kVersionTag = 0x4D500200;
    static const PmExFileFormat& Format();

    PmMemoExUtil() : PmExFile(Format()) {}
    // Loads `path` at once; IsLoaded() tells the result.
    explicit PmMemoExUtil(const std::string& path) : PmExFile(Format()) { m_bLoaded = Load(path); }
};

}  // namespace lazrine::palm
