#!/usr/bin/env bash
# Builds the Debian package from a build directory, unpacks it and plays a
# game with the packaged executable.
# Usage: package_test.sh BUILD_DIR EXPECTED_TRANSCRIPT_OF_SEED_0
set -euo pipefail
build=$1 expected=$2

for tool in dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is missing (apt-get install dpkg-dev)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" ||
  { cat "$work/cpack.log"; exit 1; }
package=$(ls "$work"/gravemoor_*.deb)

fail() { echo "FAIL: $*"; exit 1; }
[ "$(dpkg-deb -f "$package" Package)" = gravemoor ] || fail "package name"
[ "$(dpkg-deb -f "$package" Section)" = games ] || fail "section"
dpkg-deb -f "$package" Depends | grep -q 'libc6 (>=' || fail "no computed libc6 dependency"

dpkg-deb -x "$package" "$work/root"
[ -f "$work/root/usr/share/man/man6/gravemoor.6.gz" ] || fail "no manual page"
echo Ann | "$work/root/usr/bin/gravemoor" 0 >"$work/played" || fail "the game did not exit 0"
cmp "$expected" "$work/played" || fail "the packaged game played another game"
echo "the packaged game plays: $(basename "$package")"
