#!/usr/bin/env bash
# Imports the exports of every kind and generation (classic and extended
# record files, the database files of tests/data/mdb) into the calendar and
# address book clients of Debian 12 (khal, todoman, calcurse, khard), each
# with its own configuration in a temporary folder and no display, in the
# zones Europe/Berlin and America/New_York, and compares what each client then
# holds with the source records field by field (scripts/interop/compare.py).
# Fails naming client, file, record and field for every difference.
# LAZRINE_INTEROP=0 skips it; LAZRINE_BUILD_DIR picks the build (default
# build/release, built here when its programs are missing).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${LAZRINE_INTEROP:-1}" = 0 ]; then
  echo "== interop: skipped (LAZRINE_INTEROP=0)"
  exit 0
fi

./scripts/setup-debian.sh khal todoman calcurse khard

build=${LAZRINE_BUILD_DIR:-build/release}
if [ ! -x "$build/src/lazrine-cli" ] || [ ! -x "$build/tests/lazrine-make-interop-data" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$build" -j "${LAZRINE_JOBS:-2}" --target lazrine-cli lazrine-make-interop-data
fi

echo "== interop: khal, todoman, calcurse, khard"
# No display: the clients run in a terminal-less environment of their own.
env -u DISPLAY -u WAYLAND_DISPLAY python3 scripts/interop/compare.py \
  --cli "$build/src/lazrine-cli" \
  --maker "$build/tests/lazrine-make-interop-data" \
  --mdb tests/data/mdb \
  --zone Europe/Berlin --zone America/New_York "$@"
