#!/usr/bin/env bash
# Builds the Debian package from a build directory, checks that it is laid
# out as Debian's rules for games ask, unpacks it and plays a game with the
# packaged executable.
# Usage: package_test.sh BUILD_DIR EXPECTED_TRANSCRIPT_OF_SEED_0 [WHY_SKIPPED]
set -euo pipefail
build=$1 expected=$2
source "$(dirname "$0")/package_tools.sh"
skip_unless_packaging "${@:3}"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" ||
  { cat "$work/cpack.log"; exit 1; }
package=$(ls "$work"/gravemoor_*_*.deb)

fail() { echo "FAIL: $*"; exit 1; }
field() { dpkg-deb -f "$package" "$1"; }
[ "$(field Package)" = gravemoor ] || fail "package name"
[ "$(field Section)" = games ] || fail "section"
field Depends | grep -q 'libc6 (>=' || fail "no computed libc6 dependency"
summary=$(field Description | sed -n 1p)
! grep -qiE '^(a|an|the) ' <<<"$summary" || fail "the summary starts with an article: $summary"

# Every file where Debian wants it, and nothing else; 0755 folders and
# programs, 0644 for the rest.
dpkg-deb -c "$package" | awk '{ print $1, $6 }' >"$work/contents"
cat >"$work/expected-contents" <<'LIST'
drwxr-xr-x ./usr/
drwxr-xr-x ./usr/games/
-rwxr-xr-x ./usr/games/gravemoor
drwxr-xr-x ./usr/share/
drwxr-xr-x ./usr/share/doc/
drwxr-xr-x ./usr/share/doc/gravemoor/
-rw-r--r-- ./usr/share/doc/gravemoor/changelog.gz
-rw-r--r-- ./usr/share/doc/gravemoor/copyright
drwxr-xr-x ./usr/share/lintian/
drwxr-xr-x ./usr/share/lintian/overrides/
-rw-r--r-- ./usr/share/lintian/overrides/gravemoor
drwxr-xr-x ./usr/share/man/
drwxr-xr-x ./usr/share/man/man6/
-rw-r--r-- ./usr/share/man/man6/gravemoor.6.gz
LIST
diff "$work/expected-contents" "$work/contents" || fail "the package's files or modes"

dpkg-deb -x "$package" "$work/root"
game=$work/root/usr/games/gravemoor
if command -v readelf >/dev/null; then
  ! readelf -S "$game" | grep -qE '\.symtab|\.debug_|\.comment' || fail "the game is not stripped"
fi
grep -q '^License: Expat' "$work/root/usr/share/doc/gravemoor/copyright" || fail "copyright"
gzip -dc "$work/root/usr/share/doc/gravemoor/changelog.gz" | head -1 |
  grep -qF "gravemoor ($(field Version))" || fail "the changelog's latest entry is not this version"
echo Ann | "$game" 0 >"$work/played" || fail "the game did not exit 0"
cmp "$expected" "$work/played" || fail "the packaged game played another game"
echo "the packaged game plays: $(basename "$package")"
