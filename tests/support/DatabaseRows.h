#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/palm/database/PmJetEngine.h"

namespace lazrine::testing {

// The rows `sql` selects from the database at `path`, read with a fresh
// engine; a failure to open it or to run `sql` fails the test that asked.
inline std::vector<palm::PmValues> DatabaseRows(const std::string& path, std::string_view sql) {
    palm::PmJetEngine engine;
    platform::IoError opened;
    std::string error;
    std::vector<palm::PmValues> rows;
    EXPECT_TRUE(engine.Open(path, opened)) << opened.szText;
    EXPECT_TRUE(engine.Query(sql, rows, error)) << error;
    return rows;
}

}  // namespace lazrine::testing
