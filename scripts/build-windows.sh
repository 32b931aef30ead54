#!/usr/bin/env bash
# Cross-builds the Windows programs and their test binaries with MinGW-w64:
# build/windows/x86_64/lazrine/src/lazrine-cli.exe and lazrine.exe (the
# window; each one static file), build/windows/x86_64/lazrine/tests/
# lazrine_tests.exe and tests/win/lazrine_win_tests.exe, run under Wine by
# scripts/test-windows.sh. The 32-bit (i686) program is compiled too,
# unless --64-only is given; it is not run (that needs 32-bit Wine).
#
# The libraries Debian ships for Linux only are built from their Debian
# source packages, fetched by scripts/windows/fetch-source.sh and patched with
# scripts/windows/patches/; nothing of them is kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

arches=(x86_64 i686)
if [ "${1:-}" = "--64-only" ]; then
  arches=(x86_64)
fi

./scripts/setup-windows.sh
jobs=$(nproc)
out="$root/build/windows"
sources="$out/sources"

# mdbtools 1.0.1 (Debian 13), whose libmdb reads from memory; minIni 1.4.
mdbtools_version=1.0.1-0.1
mdbtools_sha256=750cbf793bf5b7e296fdc359124393a0aef89ee663b7741ba4b1ca2ce30b3b37
minini_version=1.4+ds-1
minini_sha256=bfae2a438d93df8c789839d9d1f4a9c56d6db2fb12a31d40b41df82c124cf46a
# libical 3.0.16, as the Linux build uses (Debian 12).
libical_version=3.0.16-1
libical_sha256=b44705dd71ca4538c86fb16248483ab4b48978524fb1da5097bd76aa2e0f0c33
stamp="$sources/.fetched-$mdbtools_version-$minini_version-$libical_version-$(cat scripts/windows/patches/*.patch | sha256sum | cut -c1-16)"
if [ ! -f "$stamp" ]; then
  echo "== fetching the mdbtools, minIni and libical sources"
  rm -rf "$sources"
  mkdir -p "$sources"
  scripts/windows/fetch-source.sh mdbtools "$mdbtools_version" trixie "$mdbtools_sha256" "$sources"
  scripts/windows/fetch-source.sh libminini "$minini_version" bookworm "$minini_sha256" "$sources"
  scripts/windows/fetch-source.sh libical3 "$libical_version" bookworm "$libical_sha256" "$sources"
  for p in scripts/windows/patches/mdbtools-*.patch; do
    patch -d "$sources/mdbtools" -p1 --forward --quiet < "$p"
  done
  touch "$stamp"
fi

# Runs a dependency's build step with its output in a log, shown only when
# the step fails.
quiet() {
  local log="$out/step.log"
  "$@" >"$log" 2>&1 || { cat "$log" >&2; return 1; }
}

for arch in "${arches[@]}"; do
  toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/scripts/windows/toolchain-mingw.cmake" -DLAZRINE_WINDOWS_ARCH="$arch")
  deps="$out/$arch/deps"
  built="$deps/.built-$(basename "$stamp")-$(cat scripts/windows/deps/* | sha256sum | cut -c1-16)"
  if [ ! -f "$built" ]; then
    rm -rf "$deps" "$out/$arch/deps-build" "$out/$arch/libical-build" "$out/$arch/gtest-build"
    echo "== $arch: libmdb, minIni, xxHash, libical and GoogleTest"
    quiet cmake -S scripts/windows/deps -B "$out/$arch/deps-build" "${toolchain[@]}" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" \
      -DMDBTOOLS_SOURCE="$sources/mdbtools" -DMININI_SOURCE="$sources/libminini"
    quiet cmake --build "$out/$arch/deps-build" -j "$jobs"
    quiet cmake --install "$out/$arch/deps-build"
    # Only the core library of libical, static, with its own zone data.
    quiet cmake -S "$sources/libical3" -B "$out/$arch/libical-build" "${toolchain[@]}" \
      -DCMAKE_BUILD_TYPE=Release -DSTATIC_ONLY=ON -DWITH_CXX_BINDINGS=OFF -DICAL_BUILD_DOCS=OFF \
      -DICAL_GLIB=OFF -DGOBJECT_INTROSPECTION=OFF -DLIBICAL_BUILD_TESTING=OFF -DUSE_BUILTIN_TZDATA=ON \
      -DCMAKE_DISABLE_FIND_PACKAGE_ICU=ON -DCMAKE_DISABLE_FIND_PACKAGE_BDB=ON
    quiet cmake --build "$out/$arch/libical-build" -j "$jobs" --target ical
    mkdir -p "$deps/include/libical" "$deps/lib"
    cp "$out/$arch/libical-build/src/libical/ical.h" "$sources/libical3/src/libical/libical_ical_export.h" \
      "$deps/include/libical/"
    cp "$out/$arch/libical-build/bin/libical.a" "$deps/lib/"
    quiet cmake -S /usr/src/googletest -B "$out/$arch/gtest-build" "${toolchain[@]}" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" -Dgtest_disable_pthreads=OFF
    quiet cmake --build "$out/$arch/gtest-build" -j "$jobs"
    quiet cmake --install "$out/$arch/gtest-build"
    touch "$built"
  fi

  echo "== $arch: Lazrine"
  # -O2 as in the Linux build (RelWithDebInfo), without the debug information.
  cmake -S . -B "$out/$arch/lazrine" "${toolchain[@]}" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DLAZRINE_WINDOWS_DEPS="$deps" -DLAZRINE_BUILD_GUI=OFF -DLAZRINE_BUILD_BENCHMARKS=OFF \
    -DLAZRINE_BUILD_FUZZERS=OFF >/dev/null
  # The 32-bit program is compiled, not tested (that needs 32-bit Wine).
  targets=(lazrine-cli lazrine lazrine_tests lazrine_win_tests)
  if [ "$arch" = i686 ]; then
    targets=(lazrine-cli lazrine)
  fi
  cmake --build "$out/$arch/lazrine" -j "$jobs" --target "${targets[@]}"
done
# The window's Help opens the user guide beside it; the guide is made by the
# Linux build (a Qt tool), so it comes along when that build has made it.
guide="$root/build/release/share/doc/Lazrine/user-guide.html"
if [ -f "$guide" ]; then
  for arch in "${arches[@]}"; do
    cp "$guide" "$out/$arch/lazrine/src/user-guide.html"
  done
fi
echo "== Windows build done: $out/x86_64/lazrine/src/lazrine-cli.exe and lazrine.exe"
