#!/usr/bin/env bash
# Checks the Debian package scripts/package.sh makes from the release build
# (build/release, built before): lintian finds no error or warning, the
# desktop entry and the AppStream metainfo validate, the manual pages render
# without a warning, the shell completions load and complete, the package
# depends on the libraries the programs need (libical, loaded only to write
# iCalendar, too), and its programs print the version. Every check runs; the script fails when any of them failed.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/package.sh
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
deb=build/package/lazrine_${version}_$(dpkg --print-architecture).deb
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

failed=()
# Runs one check, named by its first argument; a failure is noted, not fatal.
check() {
  local name=$1
  shift
  if "$@"; then
    echo "ok   $name"
  else
    echo "FAIL $name"
    failed+=("$name")
  fi
}

# lintian: its errors and warnings fail the check, its notes (I:) do not.
check lintian lintian --fail-on error,warning "$deb"
check desktop-file-validate desktop-file-validate "$root"/usr/share/applications/*.desktop
# The metainfo alone, then with the desktop entry and icon it names.
check "appstreamcli validate" appstreamcli validate --pedantic --no-net "$root"/usr/share/metainfo/*.metainfo.xml
check "appstreamcli validate-tree" appstreamcli validate-tree --pedantic --no-net "$root"

# Every warning groff can give is an error here; each page names the version.
manual_pages() {
  local page warnings status=0
  for page in "$root"/usr/share/man/man1/*.1.gz; do
    warnings=$(zcat "$page" | groff -man -ww -z 2>&1)
    if [ -n "$warnings" ]; then
      echo "$page: $warnings"
      status=1
    fi
    zcat "$page" | grep -c "^\.TH .* \"Lazrine $version\"" >/dev/null || { echo "$page: no version"; status=1; }
  done
  return $status
}
check "manual pages render without warnings" manual_pages

# Bash: the command is completed from its first letters, the kind after it,
# and --user from what the packaged lazrine-cli lists for a Palm Desktop
# folder of two users.
bash_completion() {
  mkdir -p "$root/palm/Jo/todo" "$root/palm/MaryS/memopad"
  touch "$root/palm/condmgr.dll" "$root/palm/UserData.dll"
  printf '[Path]\nPDPath=%s/palm\n' "$root" >"$root/palm.ini"
  bash -c 'source "$1"
    t() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=(); _lazrine_cli; echo "${COMPREPLY[*]}"; }
    [ "$(t lazrine-cli un)" = undelete ] && [ "$(t lazrine-cli undelete me)" = memos ] &&
      [ "$(t lazrine-cli export memos --format c)" = csv ] &&
      [ "$(t "$2" --settings "$3" list memos --user M)" = MaryS ]' _ \
    "$root/usr/share/bash-completion/completions/lazrine-cli" "$root/usr/bin/lazrine-cli" "$root/palm.ini"
}
check "bash completion" bash_completion
if command -v zsh >/dev/null; then
  check "zsh completion parses" zsh -n "$root/usr/share/zsh/vendor-completions/_lazrine-cli"
fi
if command -v fish >/dev/null; then
  fish_completion() {
    fish -n "$1" && [ "$(fish -c 'source $argv[1]; complete -C "lazrine-cli un"' "$1" | cut -f1)" = undelete ]
  }
  check "fish completion" fish_completion "$root/usr/share/fish/vendor_completions.d/lazrine-cli.fish"
fi

depends() {
  local field
  field=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $field"
  for library in libqt6widgets6 qt6-qpa-plugins libmdb3 libical3 libminini1 libxxhash0; do
    [[ $field == *"$library"* ]] || { echo "no $library"; return 1; }
  done
}
check "Depends names the libraries" depends

# libical (and the ICU it pulls in) is loaded only to write iCalendar: the
# command line is not linked with it, and finds it when it writes one.
# The export is read whole before it is searched: grep -q stops at the
# first match, and a writer that is still writing then dies of SIGPIPE,
# which pipefail would count as the check failing.
ical_on_demand() {
  local dynamic ics
  dynamic=$(readelf -d "$root/usr/bin/lazrine-cli") &&
    ! grep -q 'libical' <<<"$dynamic" &&
    ics=$("$root/usr/bin/lazrine-cli" export calendar tests/data/dat/datebook-classic.dat --format ics 2>/dev/null) &&
    grep -q '^BEGIN:VEVENT' <<<"$ics"
}
check "lazrine-cli loads libical to write iCalendar" ical_on_demand

check "lazrine-cli --version" [ "$("$root/usr/bin/lazrine-cli" --version)" = "lazrine-cli $version" ]
# The window program answers --version without a display too.
check "lazrine --version" [ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/lazrine" --version 2>/dev/null)" = "Lazrine $version" ]

if [ "${#failed[@]}" -ne 0 ]; then
  echo "== package checks failed: ${failed[*]}" >&2
  exit 1
fi
echo "== package checks passed"
