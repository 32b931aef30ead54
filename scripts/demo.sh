#!/usr/bin/env bash
# Installs what is needed, builds, and shows the deleted memos of the bundled
# demo data. Works on a copy, so the repository stays clean.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup-debian.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" >/dev/null

work=$(mktemp -d)
cp -r demo/PalmUser "$work/"
memo="$work/PalmUser/memopad/memopad.dat"
echo "Demo data copied to $work/PalmUser"
echo
echo "Deleted memos in $memo:"
build/release/src/lazrine-cli list memos "$memo"
echo
echo "To undelete them all:  build/release/src/lazrine-cli undelete memos '$memo' --all-deleted"
