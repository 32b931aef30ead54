#!/usr/bin/env bash
# Installs what the Windows cross-build and its Wine test run need, on top of
# the Linux build's packages: the MinGW-w64 compilers (64- and 32-bit, POSIX
# threads for std::thread and std::mutex), Wine to run the 64-bit tests, and
# dpkg-dev for unpacking the mdbtools source package.
# Idempotent and non-interactive: packages already present are left alone.
set -euo pipefail
cd "$(dirname "$0")/.."

exec ./scripts/setup-debian.sh \
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
  wine wine64 \
  dpkg-dev
