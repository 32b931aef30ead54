#pragma once

#include <string>

#include "common/palm/PmClassicFile.h"
#include "common/palm/PmMemoRec.h"

namespace lazrine::palm {

using PmMemoDataMgr = PmDataMgr<PmMemoRec>;

// The classic memo file ("memopad\memopad.dat", version tag 0x4D500100).
class PmMemoUtil : public PmClassicFile<PmMemoRec> {
public:
    static constexpr std::uint32_t kVersionTag = 0x4D500100;
    static const PmClassicFileFormat& Format();

    PmMemoUtil() : PmClassicFile(Format()) {}
    explicit PmMemoUtil(const std::string& path) : PmClassicFile(Format()) { m_bLoaded = Load(path); }
};

}  // namespace lazrine::palm
