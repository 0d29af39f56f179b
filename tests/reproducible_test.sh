#!/usr/bin/env bash
# Makes the Debian package and the source tarball of a build directory
# twice, a second apart and under two umasks, and checks that both runs
# give the same bytes: once with SOURCE_DATE_EPOCH unset (the sources' own
# date is used) and once with it set.
# Usage: reproducible_test.sh BUILD_DIR [WHY_SKIPPED]
set -euo pipefail
build=$1
source "$(dirname "$0")/package_tools.sh"
skip_unless_packaging "${@:2}"

make_packages() {
  local out=$1 mask=$2
  (
    umask "$mask"
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out.log" 2>&1 &&
      cpack --config "$build/CPackSourceConfig.cmake" -B "$out" >>"$out.log" 2>&1
  ) || { cat "$out.log"; exit 1; }
}

compare() {
  local first=$1 second=$2 what=$3 found=0
  for package in "$first"/*.deb "$first"/*.tar.gz; do
    [ -f "$package" ] || continue
    found=$((found + 1))
    cmp "$package" "$second/$(basename "$package")" ||
      { echo "FAIL: $(basename "$package") differs between two builds ($what)"; exit 1; }
  done
  [ "$found" -eq 2 ] || { echo "FAIL: expected a .deb and a .tar.gz, found $found"; exit 1; }
}

unset SOURCE_DATE_EPOCH
make_packages "$work/unset-1" 022
sleep 1
make_packages "$work/unset-2" 0002
compare "$work/unset-1" "$work/unset-2" "SOURCE_DATE_EPOCH unset"

export SOURCE_DATE_EPOCH=1000000000
make_packages "$work/set-1" 0002
sleep 1
make_packages "$work/set-2" 022
compare "$work/set-1" "$work/set-2" "SOURCE_DATE_EPOCH set"
echo "the same bytes twice: $(cd "$work/set-1" && ls *.deb *.tar.gz | tr '\n' ' ')"
