#!/usr/bin/env bash
# Installs the Debian 12 packages Lazrine needs to build, test and benchmark,
# and any further packages named as arguments (see setup-windows.sh).
# Idempotent and non-interactive: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev xvfb xauth
  mdbtools-dev
  nlohmann-json3-dev libcli11-dev libminini-dev libxxhash-dev libical-dev
  clang libclang-rt-14-dev gcovr
  dpkg-dev file zip lintian desktop-file-utils appstream groff-base zsh fish
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
