#!/usr/bin/env bash
# Runs the Linux lazrine-cli and lazrine-cli.exe under Wine side by side on
# the same data files (every kind, classic, extended and .mdb) and fails
# unless both give the same bytes: standard output, standard error and exit
# status of probe, list, list --all, export in every format and undelete
# --all-deleted, the data file after the undelete and the backups made.
# iCalendar exports may differ only in DTSTAMP, the time of the export.
#
# Called by scripts/test-windows.sh with Wine's services running in
# WINEPREFIX. Usage: compare-with-linux.sh <lazrine-cli> <lazrine-cli.exe>
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
linux_cli=$1
windows_cli=$2

work=$(mktemp -d "$root/build/windows/compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
lin="$work/linux"
win="$work/windows"
mkdir -p "$lin" "$win"

# Both programs see the same local time. On a host whose zone is UTC the
# comparison runs without TZ, as a user would: Wine then reports its own
# name for the host's zone ("Greenwich Standard Time"), and the Windows
# program has to find out by itself that it keeps UTC.
if [ "$(TZ= date -d 2024-01-15 +%z)$(TZ= date -d 2024-07-15 +%z)" = "+0000+0000" ]; then
  unset TZ
else
  export TZ=UTC
fi

checked=0
failed=0
same() {  # same <file name in both folders>
  checked=$((checked + 1))
  if ! cmp -s "$lin/$1" "$win/$1"; then
    failed=$((failed + 1))
    echo "differs: $1" >&2
    diff <(head -c 2000 "$lin/$1") <(head -c 2000 "$win/$1") | head -20 >&2 || true
  fi
}

both() {  # both <result name> <arguments...>
  local name=$1
  shift
  local rc=0
  (cd "$lin" && "$linux_cli" "$@" >"$name.out" 2>"$name.err" </dev/null) || rc=$?
  echo "$rc" >"$lin/$name.rc"
  rc=0
  (cd "$win" && timeout 120 wine "$windows_cli" "$@" >"$name.out" 2>"$name.err" </dev/null) || rc=$?
  echo "$rc" >"$win/$name.rc"
  same "$name.out"
  same "$name.err"
  same "$name.rc"
}

compare() {  # compare <kind> <data file>
  local kind=$1 file side
  file=$(basename "$2")
  cp "$2" "$lin/$file"
  cp "$2" "$win/$file"
  both "$file.probe" probe "$kind" "$file"
  both "$file.list" list "$kind" "$file"
  both "$file.list-all" list "$kind" "$file" --all --json
  local formats
  case "$kind" in
    contacts) formats="vcard csv json" ;;
    calendar | tasks) formats="ics csv json" ;;
    memos) formats="text csv json" ;;
  esac
  for format in $formats; do
    both "$file.export-$format" export "$kind" "$file" --all --format "$format" --output "$file.$format"
  done
  for side in "$lin" "$win"; do
    [ ! -f "$side/$file.ics" ] || sed -i '/^DTSTAMP:/d' "$side/$file.ics"
  done
  both "$file.undelete" undelete "$kind" "$file" --all-deleted
  # The same files are left beside it, each with the same bytes: the data
  # file after the undelete, its backup, the exports, no temporary file.
  local left
  for side in "$lin" "$win"; do
    (cd "$side" && ls -A | grep -F "$file" | grep -v '\.\(out\|err\|rc\)$' >"$side.left" || true)
  done
  checked=$((checked + 1))
  if ! cmp -s "$lin.left" "$win.left"; then
    failed=$((failed + 1))
    echo "different files beside $file:" >&2
    diff "$lin.left" "$win.left" >&2 || true
  fi
  while read -r left; do
    same "$left"
  done <"$lin.left"
}

for generation in classic extended; do
  compare memos "tests/data/dat/memopad-$generation.dat"
  compare tasks "tests/data/dat/todo-$generation.dat"
  compare calendar "tests/data/dat/datebook-$generation.dat"
  compare contacts "tests/data/dat/address-$generation.dat"
done
compare memos tests/data/mdb/MemoPad.mdb
compare tasks tests/data/mdb/Todolist.mdb
compare calendar tests/data/mdb/DateBook.mdb
compare contacts tests/data/mdb/Address.mdb
compare memos tests/data/mdb/NotPalm.mdb
compare memos demo/PalmUser/memopad/memopad.dat

echo "== Windows and Linux programs compared: $checked results, $failed different"
[ "$failed" -eq 0 ]
