#pragma once

// Resident memory of the benchmark process, from the kernel's own
// accounting: VmHWM is the peak since the last reset through
// /proc/self/clear_refs.
#include <cstddef>
#include <cstring>
#include <fstream>
#include <string>

namespace lazrine::bench {

inline std::size_t StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stoul(line.substr(std::strlen(key)));
        }
    }
    return 0;
}

inline void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace lazrine::bench
