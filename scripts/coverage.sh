#!/usr/bin/env bash
# Line coverage of the test suite: builds with gcc --coverage in build-cov,
# runs every test, and writes a report with gcovr.
#
#   scripts/coverage.sh              report on src/ (the window program left out)
#   scripts/coverage.sh --with-gui   the Qt window and its tests too
#
# Results: build-cov/coverage/index.html (per file, line by line) and
# build-cov/coverage/summary.txt; the totals for src/ and src/common/palm are
# printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

gui=OFF
build_dir=build-cov
while [ $# -gt 0 ]; do
  case "$1" in
    --with-gui) gui=ON ;;
    --build-dir) build_dir="$2"; shift ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
  shift
done

if ! command -v gcovr >/dev/null 2>&1; then
  ./scripts/setup-debian.sh
fi
jobs=$(nproc)
[ "$jobs" -gt 2 ] || jobs=2
export QT_QPA_PLATFORM=offscreen

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ \
  -DCMAKE_CXX_FLAGS="--coverage -O0" -DCMAKE_EXE_LINKER_FLAGS="--coverage" \
  -DLAZRINE_BUILD_GUI="$gui" -DLAZRINE_BUILD_BENCHMARKS=OFF -DLAZRINE_BUILD_FUZZERS=OFF >/dev/null
cmake --build "$build_dir" -j "$jobs"
# Counts from an earlier run would add up with this one.
find "$build_dir" -name '*.gcda' -delete
ctest --test-dir "$build_dir" --output-on-failure -j "$jobs"

out="$build_dir/coverage"
mkdir -p "$out"
filters=(--filter 'src/')
[ "$gui" = ON ] || filters+=(--exclude 'src/app/')
# CMake's compiler probes are built with the flags too; they are not ours.
probes=(--exclude-directories '.*/CMakeFiles/[0-9.]+/.*')
gcovr --root . --object-directory "$build_dir" "${probes[@]}" "${filters[@]}" -j "$jobs" \
  --html-details "$out/index.html" --txt "$out/summary.txt" --print-summary >"$out/gcovr.log"
echo "== line coverage of src/ (report: $out/index.html)"
grep -E '^lines:' "$out/gcovr.log"
echo "== line coverage of src/common/palm"
gcovr --root . --object-directory "$build_dir" "${probes[@]}" --filter 'src/common/palm/' -j "$jobs" --print-summary \
  --txt "$out/palm.txt" | grep -E '^lines:'
