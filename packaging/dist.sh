#!/usr/bin/env bash
# Makes every file a player downloads, from the last commit, into one
# folder with their SHA256SUMS:
#
#   packaging/dist.sh [FOLDER]      (FOLDER: build/dist by default)
#
# - gravemoor-VERSION.tar.gz, the source release (git archive);
# - the Debian source package (.dsc, .debian.tar.xz and the source release
#   as .orig.tar.gz) and the binary package (.deb);
# - gravemoor-VERSION-linux-x86_64.tar.gz, the static Linux game;
# - gravemoor-VERSION-windows-x86_64.zip, the Windows game;
# - gravemoor.html, the page that plays the game in a browser.
#
# Everything but the source release is built from the source release
# itself, unpacked in a work folder, so that every file comes from the
# commit and not from the checkout's other changes. Two runs, wherever they
# run, give the same SHA256SUMS. The builds leave the tests out: CI runs
# them (bash .ci/run). Needs the packages of the groups game, windows,
# package and web of .ci/packages.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/dist}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

step() { printf '=== %s\n' "$*"; }
quietly() { "$@" >"$work/log" 2>&1 || { tail -n 40 "$work/log"; exit 1; }; }

rm -rf "$out"
mkdir -p "$out"

step "the source release"
quietly cmake -S . -B "$work/cut" -G Ninja -DBUILD_TESTING=OFF
quietly cmake --build "$work/cut" --target source_release
release=$(ls "$work"/cut/gravemoor-*.tar.gz)
name=$(basename "$release" .tar.gz)
version=${name#gravemoor-}
cp "$release" "$out/"
tar -xzf "$release" -C "$work"
sources=$work/$name

# Each build of the release in a folder of its own, without its tests.
build() {
  local preset=$1 target=$2
  step "$preset: $target"
  quietly cmake -S "$sources" -B "$work/$preset" --preset "$preset" -DBUILD_TESTING=OFF
  quietly cmake --build "$work/$preset" --target "$target"
}
build static release_tarball
cp "$work/static/$name-linux-x86_64.tar.gz" "$out/"
build mingw release_zip
cp "$work/mingw/$name-windows-x86_64.zip" "$out/"
build wasm page
cp "$work/wasm/gravemoor.html" "$out/"

step "the Debian packages"
# The release with the packaging of the same commit, which the release
# leaves out; the release is the orig tarball
mkdir "$work/debian"
cp "$release" "$work/debian/gravemoor_$version.orig.tar.gz"
tar -xzf "$release" -C "$work/debian"
# (the folder's own tree: git archive of the commit would leave it out).
git archive --prefix=debian/ HEAD:debian | tar -x -C "$work/debian/$name"
(cd "$work/debian/$name" && quietly env DEB_BUILD_OPTIONS=nocheck \
  dpkg-buildpackage -us -uc -Pnocheck -J"$(nproc)")
# Not the .buildinfo and .changes, which record the build's own machine
# and time, nor the debug symbols.
cp "$work"/debian/gravemoor_*.dsc "$work"/debian/gravemoor_*.debian.tar.xz \
  "$work"/debian/gravemoor_*.orig.tar.gz "$work"/debian/gravemoor_*_*.deb "$out/"

(cd "$out" && LC_ALL=C sha256sum -- * >SHA256SUMS)
step "$out"
cat "$out/SHA256SUMS"
