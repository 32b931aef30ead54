#!/usr/bin/env bash
# Installs what is needed, builds, and opens the Lazrine window on a copy of
# the bundled demo data, so the repository stays clean. Without a display
# ($DISPLAY and $WAYLAND_DISPLAY both empty) it lists the deleted memos of
# the copy with the command-line program instead.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup-debian.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only the two programs the demo runs.
cmake --build build/release -j "$(nproc)" --target lazrine lazrine-cli >/dev/null

work=$(mktemp -d)
cp -r demo/PalmUser "$work/"
memo="$work/PalmUser/memopad/memopad.dat"
settings="$work/tamrisk.ini"
# The window loads a kind from the file its settings name, with or without
# a Palm Desktop installation.
printf '[Lazrine]\nMemoFile=%s\n' "$memo" >"$settings"
echo "Demo data copied to $work/PalmUser"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Opening the Lazrine window (settings: $settings)"
  exec build/release/src/lazrine --settings "$settings"
fi

echo "No display found; listing instead."
echo
echo "Deleted memos in $memo:"
build/release/src/lazrine-cli list memos "$memo"
echo
echo "To undelete them all:  build/release/src/lazrine-cli undelete memos '$memo' --all-deleted"
echo "With a display:        build/release/src/lazrine --settings '$settings'"
