#pragma once

#include <string>

#include "common/palm/PmClassicFile.h"
#include "common/palm/PmTodoRec.h"

namespace lazrine::palm {

using PmTodoDataMgr = PmDataMgr<PmTodoRec>;

// The classic to-do file ("todo\todo.dat", version tag 0x54440100).
class PmTodoUtil : public PmClassicFile<PmTodoRec> {
public:
    static constexpr std::uint32_t kVersionTag = 0x54440100;
    static const PmClassicFileFormat& Format();

    PmTodoUtil() : PmClassicFile(Format()) {}
    explicit PmTodoUtil(const std::string& path) : PmClassicFile(Format()) { m_bLoaded = Load(path); }
};

}  // namespace lazrine::palm
