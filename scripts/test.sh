#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite: a normal
# build and the checks of its Debian package, imports of the exports into
# calendar and address book clients, a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, bounded fuzzing of every reader, then the
# Windows build under Wine. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup-debian.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== build and test (RelWithDebInfo)"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"
# The Debian package made from this build, and its checks.
echo "== package"
./scripts/test-package.sh

# What khal, todoman, calcurse and khard hold after importing the exports,
# against the source records (LAZRINE_INTEROP=0 leaves it out locally).
./scripts/test-interop.sh

echo "== build and test with AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DLAZRINE_SANITIZE=ON -DLAZRINE_BUILD_BENCHMARKS=OFF
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

if [ -x scripts/fuzz.sh ]; then
  echo "== bounded fuzzing"
  ./scripts/fuzz.sh --ci
fi
# The Windows program and its test binary, cross-built with MinGW-w64, and the
# whole suite run once under Wine. LAZRINE_WINDOWS=0 leaves them out (for a
# quick local run; CI always runs them).
if [ "${LAZRINE_WINDOWS:-1}" != 0 ]; then
  echo "== Windows build (MinGW-w64) and tests under Wine"
  ./scripts/build-windows.sh
  ./scripts/test-windows.sh
fi
echo "== all tests passed"
