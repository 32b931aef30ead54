#include "support/TestData.h"

#include <algorithm>
#include <atomic>
#include <filesystem>

#include "support/TempDir.h"

namespace lazrine::testing {

std::string TestDataCopy(const std::string& relative) {
    static TempDir dir;
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path source = std::filesystem::path(LAZRINE_TEST_DATA_DIR) / relative;
    const std::filesystem::path target =
        dir.Path() / (std::to_string(counter++) + "-" + source.filename().string());
    std::filesystem::copy_file(source, target);
    return target.string();
}

std::string Repeated(const std::string& unit, std::size_t length) {
    std::string out;
    while (out.size() < length) {
        out += unit;
    }
    out.resize(length);
    return out;
}

std::size_t DifferingBytes(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::size_t n = a.size() == b.size() ? 0 : 1;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        n += a[i] != b[i] ? 1 : 0;
    }
    return n;
}

}  // namespace lazrine::testing
