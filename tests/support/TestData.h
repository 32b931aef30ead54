#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lazrine::testing {

// A private copy of the committed test file tests/data/<relative>, in a
// folder of this process that is removed at exit. Stores lock the files
// they open, so tests that run in parallel never share one file.
std::string TestDataCopy(const std::string& relative);

// `unit` repeated and cut to `length` characters.
std::string Repeated(const std::string& unit, std::size_t length);

// How many bytes differ between `a` and `b`, plus one when their sizes do.
std::size_t DifferingBytes(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);

}  // namespace lazrine::testing
