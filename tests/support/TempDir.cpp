#include "support/TempDir.h"

#include <atomic>
#include <random>
#include <system_error>

namespace lazrine::testing {

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        // Random enough that test processes running side by side pick
        // different names; a name already taken is simply skipped.
        m_path = base / ("lazrine-test-" + std::to_string(rd()) + "-" + std::to_string(counter++) + "-" +
                         std::to_string(rd() % 100000));
        std::error_code ec;
        if (std::filesystem::create_directory(m_path, ec)) {
            break;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

}  // namespace lazrine::testing
