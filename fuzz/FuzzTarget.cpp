// One libFuzzer program per check of FuzzHarness; LAZRINE_FUZZ_CHECK names it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string broken = lazrine::testing::FuzzHarness::LAZRINE_FUZZ_CHECK({data, size});
    if (!broken.empty()) {
        std::fprintf(stderr, "property violated: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
