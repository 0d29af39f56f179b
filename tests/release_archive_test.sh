#!/bin/sh
# A release archive as a player gets it: made twice, in other time zones,
# under other umasks and a second apart, it is the same bytes; it holds
# one folder with exactly the files it should, a game stripped of every
# trace of the build folder; and unpacked into a folder whose path holds
# a space and a "!", it plays the transcripts' games.
#
#   release_archive_test.sh BUILD_DIR TARGET ARCHIVE TRANSCRIPTS [EMULATOR...]
#
# TARGET is release_tarball (the static Linux game, played directly) or
# release_zip (the Windows game, played through play.cmd under EMULATOR,
# the wine command).
set -eu
build=$1 target=$2 archive=$3 transcripts=$4
shift 4
work=$build/archive-test
rm -rf "$work"
mkdir -p "$work"

fail() { echo "$*"; exit 1; }

(umask 022 && TZ=UTC cmake --build "$build" --target "$target" >/dev/null)
cp "$build/$archive" "$work/first"
sleep 1
(umask 077 && TZ=Asia/Tokyo cmake --build "$build" --target "$target" >/dev/null)
cmp "$work/first" "$build/$archive" || fail "$archive differs when made again"

folder=${archive%.tar.gz}
folder=${folder%.zip}
played="$work/a game's folder!/$folder"
mkdir -p "$work/a game's folder!"
case $archive in
  *.tar.gz)
    tar -tzvf "$build/$archive" | awk '{ print $1, $2, $6 }' >"$work/listing"
    cat >"$work/expected" <<EOF
drwxr-xr-x 0/0 $folder/
-rw-r--r-- 0/0 $folder/LICENSE
-rw-r--r-- 0/0 $folder/README.md
-rwxr-xr-x 0/0 $folder/gravemoor
-rw-r--r-- 0/0 $folder/gravemoor.6
EOF
    tar -xzf "$build/$archive" -C "$work/a game's folder!"
    game=$played/gravemoor
    ;;
  *.zip)
    unzip -Z1 "$build/$archive" >"$work/listing"
    printf "$folder/%s\n" LICENSE README.md gravemoor.exe how-to-play.txt manual.txt play.cmd \
      >"$work/expected"
    unzip -q "$build/$archive" -d "$work/a game's folder!"
    game=$played/gravemoor.exe
    ;;
esac
diff -u "$work/expected" "$work/listing" || fail "$archive holds other files"
! grep -qF "$build" "$game" || fail "the archive's game names the build folder"

# What the player sees, in the transcripts' bytes.
case $archive in
  *.tar.gz)
    echo Ann | "$game" 5 >"$work/played"
    cmp "$transcripts/seed-5.txt" "$work/played" || fail "the unpacked game plays another game"
    ;;
  *.zip)
    # With the seed as play.cmd's argument, the name comes from the pipe;
    # without, play.cmd asks for the seed and the game, at the end of its
    # input, plays nameless. Then an empty line and the pause, whose words
    # differ between Windows and wine.
    crlf() { sed 's/$/\r/' "$@"; }
    (cd "$played" && printf 'Ann\r\n' | "$@" cmd /c play.cmd 5 >"$work/by-argument" 2>"$work/errors")
    { crlf "$transcripts/seed-5.txt"; printf '\r\n'; } >"$work/expected"
    (cd "$played" && printf '0\r\n' | "$@" cmd /c play.cmd >"$work/by-prompt" 2>>"$work/errors")
    { printf 'Seed (a number; the same seed plays the same game): \r\n'
      crlf "$transcripts/seed-0-nameless.txt"; printf '\r\n'; } >"$work/expected-prompt"
    for run in by-argument:expected by-prompt:expected-prompt; do
      size=$(wc -c <"$work/${run#*:}")
      head -c "$size" "$work/${run%:*}" | cmp - "$work/${run#*:}" ||
        fail "play.cmd ${run%:*}: other output than the game's:" "$(cat "$work/${run%:*}")"
      [ "$(wc -c <"$work/${run%:*}")" -gt "$size" ] || fail "play.cmd ${run%:*}: no pause"
    done
    [ ! -s "$work/errors" ] || fail "play.cmd wrote errors:" "$(cat "$work/errors")"
    ;;
esac
echo "$archive: reproducible, $(wc -l <"$work/listing") entries, plays"
