#!/usr/bin/env bash
# Fetches the upstream tarball of one Debian source package into a folder,
# through apt's own source download with a private sources list, package
# lists and cache, so the machine's apt configuration is neither read for
# sources nor changed, and unpacks it there.
#
#   fetch-source.sh <package> <version> <suite> <tarball sha256> <destination>
#
# apt checks the tarball against the signed index of the suite; its SHA-256
# is also pinned by the caller, so a changed upstream tarball stops the build.
# Only the upstream tarball is taken (the archive may not serve the .dsc).
# The unpacked tree is left at <destination>/<package>.
set -euo pipefail

package=$1
version=$2
suite=$3
sha256=$4
dest=$5

mkdir -p "$dest"
dest=$(cd "$dest" && pwd)
state="$dest/apt-state"
rm -rf "$state"
mkdir -p "$state/lists/partial" "$state/cache/archives/partial" "$state/sources.list.d"
cat > "$state/sources.list" <<LIST
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian $suite main
LIST

apt_options=(
  -o "Dir::Etc::SourceList=$state/sources.list"
  -o "Dir::Etc::SourceParts=$state/sources.list.d"
  -o "Dir::State::Lists=$state/lists"
  -o "Dir::Cache=$state/cache"
  -o "Dir::State::status=/var/lib/dpkg/status"
  -o "APT::Sandbox::User=root"
  -o "Debug::NoLocking=1"
  -o "Acquire::Languages=none"
  -o "Acquire::IndexTargets::deb::Packages::DefaultEnabled=false"
)

apt-get -q "${apt_options[@]}" update >"$state/update.log" 2>&1 || {
  cat "$state/update.log" >&2
  exit 1
}
cd "$dest"
# The suite serves only its current revision of a package. When the pinned
# revision has been replaced (a stable update), the current one is taken
# instead: what is built is the upstream tarball, and its pinned SHA-256
# below still has to match, so a different upstream release stops the build.
upstream=${version%-*}
rm -f "${package}_${upstream}".orig.tar.*
if ! apt-get -q "${apt_options[@]}" source --only-source --tar-only --download-only "$package=$version" \
  >"$state/source.log" 2>&1; then
  echo "fetch-source: $package $version is not served by $suite; trying its current revision" >&2
  apt-get -q "${apt_options[@]}" source --only-source --tar-only --download-only "$package" \
    >>"$state/source.log" 2>&1 || {
    cat "$state/source.log" >&2
    exit 1
  }
fi
tarball=$(ls "${package}_${upstream}".orig.tar.* 2>/dev/null | head -n 1 || true)
if [ -z "$tarball" ]; then
  echo "fetch-source: $suite no longer serves the $package $upstream tarball:" >&2
  ls "${package}"_*.orig.tar.* >&2 2>/dev/null || true
  exit 1
fi
echo "$sha256  $tarball" | sha256sum --check --quiet -
rm -rf "$package" "$package.unpack"
mkdir "$package.unpack"
tar xf "$tarball" -C "$package.unpack"
# Most tarballs hold one top folder; some hold the files directly.
top=("$package.unpack"/*)
if [ "${#top[@]}" -eq 1 ] && [ -d "${top[0]}" ]; then
  mv "${top[0]}" "$package"
  rmdir "$package.unpack"
else
  mv "$package.unpack" "$package"
fi
rm -rf "$state"
