#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehavior-
# Sanitizer) and runs each of them for a bounded time, at most --jobs at once,
# all under nice -n 19.
#
#   scripts/fuzz.sh --ci               every target for 45 s (the CI step)
#   scripts/fuzz.sh --seconds 600      every target for ten minutes
#   scripts/fuzz.sh --seconds 600 --target extended_memo --target classic_memo
#
# Options: --jobs N (parallel fuzzers, default 2), --target NAME (repeatable;
# default: every target), --build-dir DIR (default build-fuzz), --no-build.
#
# Each target's working corpus is <build>/corpus/<target>; it is seeded from
# the builder-made seeds, fuzz/corpus/<target>/ and the regression inputs in
# tests/data/fuzz/<target>/. A crash or a violated property is written to
# <build>/artifacts/<target>/; copy it into tests/data/fuzz/<target>/ to make
# it a regression test. The exit status is non-zero when any target failed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=45
jobs=2
build_dir=build-fuzz
build=1
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --ci) seconds=45 ;;
    --seconds) seconds="$2"; shift ;;
    --jobs) jobs="$2"; shift ;;
    --target) targets+=("$2"); shift ;;
    --build-dir) build_dir="$2"; shift ;;
    --no-build) build=0 ;;
    -h|--help) sed -n '2,20p' "$0"; exit 0 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
  shift
done
case "$build_dir" in /*) ;; *) build_dir="$root/$build_dir" ;; esac

if [ "$build" -eq 1 ]; then
  if ! command -v clang++ >/dev/null 2>&1; then
    ./scripts/setup-debian.sh
  fi
  echo "== building the fuzz targets in $build_dir"
  CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLAZRINE_BUILD_FUZZERS=ON -DLAZRINE_BUILD_GUI=OFF -DLAZRINE_BUILD_BENCHMARKS=OFF >/dev/null
  nice -n 19 cmake --build "$build_dir" --target lazrine_fuzzers -j "$jobs"
fi

if [ "${#targets[@]}" -eq 0 ]; then
  while IFS=: read -r name _ _ _; do
    [ -n "$name" ] && targets+=("$name")
  done < "$build_dir/fuzz/targets.txt"
fi

seeds="$build_dir/seeds"
rm -rf "$seeds"
"$build_dir/fuzz/lazrine-fuzz-seeds" "$seeds"

run_one() {
  local name="$1" dict="" extra=""
  IFS=: read -r _ _ dict extra < <(grep "^$name:" "$build_dir/fuzz/targets.txt")
  local program="$build_dir/fuzz/fuzz_$name"
  local corpus="$build_dir/corpus/$name"
  local artifacts="$build_dir/artifacts/$name"
  local dirs=("$corpus")
  mkdir -p "$corpus" "$artifacts" "$build_dir/logs"
  for d in "$seeds/$name" "$root/fuzz/corpus/$name" "$root/tests/data/fuzz/$name" ${extra:+"$root/$extra"}; do
    [ -d "$d" ] && dirs+=("$d")
  done
  local options=()
  [ -n "$dict" ] && options+=(-dict="$root/fuzz/dict/$dict.dict")
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    nice -n 19 "$program" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      "${options[@]}" -artifact_prefix="$artifacts/" -print_final_stats=1 \
      "${dirs[@]}" >"$build_dir/logs/$name.log" 2>&1
}

summary() {
  local name="$1" status="$2"
  local log="$build_dir/logs/$name.log"
  local execs cov
  execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | awk '{print $2}' | tail -1 || true)
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' "$log" | tail -1 || true)
  printf '%-22s %-6s executions=%-10s %s\n' "$name" "$status" "${execs:-?}" "${cov:-}"
}

echo "== fuzzing ${#targets[@]} targets for ${seconds} s each, ${jobs} at a time"
declare -A pids=()
failed=()
finish() {
  local name="$1"
  if wait "${pids[$name]}"; then
    summary "$name" ok
  else
    summary "$name" FAILED
    failed+=("$name")
    grep -E 'ERROR|property violated|runtime error|Test unit written' "$build_dir/logs/$name.log" | head -5 |
      sed 's/^/    /' || true
  fi
  unset "pids[$name]"
}
for name in "${targets[@]}"; do
  if [ ! -x "$build_dir/fuzz/fuzz_$name" ]; then
    echo "no such fuzz target: $name" >&2
    failed+=("$name")
    continue
  fi
  while [ "${#pids[@]}" -ge "$jobs" ]; do
    # Wait for whichever running fuzzer ends first.
    wait -n || true
    for running in "${!pids[@]}"; do
      if ! kill -0 "${pids[$running]}" 2>/dev/null; then
        finish "$running"
      fi
    done
  done
  run_one "$name" &
  pids[$name]=$!
done
for running in "${!pids[@]}"; do
  finish "$running"
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "== fuzzing FAILED after ${SECONDS} s: ${failed[*]} (logs in $build_dir/logs, inputs in $build_dir/artifacts)"
  exit 1
fi
echo "== fuzzing passed (${SECONDS} s with the build)"
