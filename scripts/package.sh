#!/usr/bin/env bash
# Makes the packages of the version the CMake project names, from the release
# build (build/release, configured and built here when missing):
#   build/package/lazrine_<version>_<arch>.deb, with CPack: both programs,
#     manual pages, shell completions, desktop entry, icons, AppStream
#     metainfo, user guide, copyright and changelog; its dependencies are
#     found by dpkg-shlibdeps from the libraries the programs are linked with,
#     with the ones they load at run time (libical) named in packaging/;
#   build/package/lazrine-<version>-windows-x86_64.zip, when the Windows build
#     exists (scripts/build-windows.sh): lazrine-cli.exe, lazrine.exe when
#     built, the user guide and the licences.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/release
out=build/package
windows=${LAZRINE_WINDOWS_BUILD:-build/windows/x86_64/lazrine/src}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -j "$(nproc)" --target lazrine lazrine-cli lazrine_user_guide lazrine_package_files
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
mkdir -p "$out"

deb="lazrine_${version}_$(dpkg --print-architecture).deb"
rm -rf "$build/cpack" "$out/$deb"
cpack --config "$build/CPackConfig.cmake" -B "$build/cpack" >"$build/cpack.log" 2>&1 ||
  { cat "$build/cpack.log" >&2; exit 1; }
mv "$build/cpack/$deb" "$out/$deb"
echo "== $out/$deb"

zip="lazrine-$version-windows-x86_64.zip"
rm -f "$out/$zip"
if [ ! -f "$windows/lazrine-cli.exe" ]; then
  echo "== no Windows build ($windows/lazrine-cli.exe), so no $zip"
  exit 0
fi
stage="$build/windows-zip/lazrine-$version"
rm -rf "$build/windows-zip"
mkdir -p "$stage/licences"
cp "$windows/lazrine-cli.exe" "$stage/"
if [ -f "$windows/lazrine.exe" ]; then
  cp "$windows/lazrine.exe" "$stage/"
fi
cp "$build/share/doc/lazrine/user-guide.html" "$stage/"
# Text files with Windows line ends, so that Notepad shows them as written.
sed 's/$/\r/' packaging/copyright >"$stage/COPYRIGHT.txt"
for licence in GPL-3 LGPL-2 LGPL-2.1 MPL-2.0 Apache-2.0; do
  sed 's/$/\r/' "/usr/share/common-licenses/$licence" >"$stage/licences/$licence.txt"
done
(cd "$build/windows-zip" && zip -q -X -r "../../../$out/$zip" "lazrine-$version")
echo "== $out/$zip"
