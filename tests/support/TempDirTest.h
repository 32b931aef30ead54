#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace lazrine::testing {

// A test fixture with a fresh temporary folder to put data files in.
class TempDirTest : public ::testing::Test {
protected:
    // Writes `bytes` as `name` in the folder and returns its path.
    std::string Put(const std::vector<std::uint8_t>& bytes, const std::string& name = "memopad.dat") {
        const std::string path = dir.File(name);
        WriteFileBytes(path, bytes);
        return path;
    }
    TempDir dir;
};

}  // namespace lazrine::testing
