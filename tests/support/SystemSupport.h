#pragma once

#include <gtest/gtest.h>

// Ends a test (as skipped) on systems that lack what it exercises: POSIX
// services (symbolic links, file modes and owners, pipes, fork), the Wine
// prefix that stands in for Windows elsewhere, the zone database of the C
// library. `why` names what is missing.
#ifdef _WIN32
#define LAZRINE_SKIP_ON_WINDOWS(why) GTEST_SKIP() << why
#else
#define LAZRINE_SKIP_ON_WINDOWS(why) static_cast<void>(0)
#endif

namespace lazrine::testing {

// True where the C library converts times through the zone database, so
// that zone names such as "America/New_York" can be chosen.
#ifdef _WIN32
constexpr bool kHasZoneDatabase = false;
#else
constexpr bool kHasZoneDatabase = true;
#endif

}  // namespace lazrine::testing
