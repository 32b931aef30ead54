#include "support/BlockingFifo.h"

namespace lazrine::testing {

// Windows file systems hold no FIFOs: nothing is made, and the tests that
// need one are skipped there.
BlockingFifo::BlockingFifo(std::string path) : m_path(std::move(path)) {}

BlockingFifo::~BlockingFifo() = default;

void BlockingFifo::Watch() {}

}  // namespace lazrine::testing
