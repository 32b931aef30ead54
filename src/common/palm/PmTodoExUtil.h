#pragma once

#include <string>

#include "common/palm/PmExFile.h"
#include "common/palm/PmTodoExRec.h"

namespace lazrine::palm {

using PmTodoExDataMgr = PmDataMgr<PmTodoExRec>;

// The extended to-do file ("todo\todo.dat", version tag 0x54440200).
class PmTodoExUtil : public PmExFile<PmTodoExRec> {
public:
    static constexpr std::uint32_t kVersionTag = 0x54440200;
    static const PmExFileFormat& Format();

    PmTodoExUtil() : PmExFile(Format()) {}
    // Loads `path` at once; IsLoaded() tells the result.
    explicit PmTodoExUtil(const std::string& path) : PmExFile(Format()) { m_bLoaded = Load(path); }
};

}  // namespace lazrine::palm
