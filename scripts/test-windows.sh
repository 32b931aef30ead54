#!/usr/bin/env bash
# Runs the Windows test binary (64-bit, made by scripts/build-windows.sh)
# once under Wine, in a Wine prefix of its own below build/windows, then the
# window's tests (the Win32 window made and driven in their process, on
# Wine's null display driver: no X server), then compares lazrine-cli.exe
# with the Linux lazrine-cli on the test data.
# Fails when a test fails or the two programs differ.
#
# Wine's background services are started first with their output sent to
# /dev/null: a first wine call whose output goes into a pipe never returns,
# because the services it starts keep the pipe open.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tests="$root/build/windows/x86_64/lazrine/tests/lazrine_tests.exe"
if [ ! -f "$tests" ]; then
  echo "no $tests: run scripts/build-windows.sh first" >&2
  exit 1
fi

export WINEPREFIX="$root/build/windows/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=
# Local times in the tests are those of UTC, as in the Linux suite's runs.
export TZ=UTC

stop_wine() { wineserver -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT

start=$(date +%s)
timeout 300 wineboot --init </dev/null >/dev/null 2>&1
# Windows are made on the null display driver: without it, and without a
# display, CreateWindow fails (error 1400).
timeout 120 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
timeout 60 wineserver -w || true
echo "== Wine ready after $(( $(date +%s) - start )) s"

log="$root/build/windows/lazrine_tests.log"
status=0
timeout 900 wine "$tests" --gtest_brief=1 </dev/null >"$log" 2>&1 || status=$?
cat "$log"

# Once more for the system's own time zone, which Wine takes from TZ: an
# export made without TZ states Windows's rules for Berlin.
zone_log="$root/build/windows/lazrine_tests_zone.log"
TZ=Europe/Berlin timeout 300 wine "$tests" --gtest_brief=1 --gtest_filter='SystemZone.*:WindowsZoneNames.TheSystemZone*' \
  </dev/null >"$zone_log" 2>&1 || status=$?
cat "$zone_log"
if grep -q "SKIPPED" "$zone_log"; then
  echo "the time zone tests were skipped under TZ=Europe/Berlin" >&2
  status=1
fi
win_tests="$root/build/windows/x86_64/lazrine/tests/win/lazrine_win_tests.exe"
win_log="$root/build/windows/lazrine_win_tests.log"
if [ -f "$win_tests" ]; then
  win_start=$(date +%s)
  timeout 300 wine "$win_tests" --gtest_brief=1 </dev/null >"$win_log" 2>&1 || status=1
  cat "$win_log"
  echo "== the window's tests took $(( $(date +%s) - win_start )) s"
else
  echo "no $win_tests: run scripts/build-windows.sh first" >&2
  status=1
fi
# The Windows program against the Linux one on the same files, when the
# Linux program is built (scripts/test.sh builds it first).
linux_cli="$root/build/release/src/lazrine-cli"
if [ -x "$linux_cli" ]; then
  "$root/scripts/windows/compare-with-linux.sh" "$linux_cli" "$root/build/windows/x86_64/lazrine/src/lazrine-cli.exe" ||
    status=1
else
  echo "== no Linux program at $linux_cli: the byte-for-byte comparison with it is left out"
fi
echo "== Windows tests finished in $(( $(date +%s) - start )) s with status $status"
exit "$status"
