#!/bin/sh
# Plays the built game once, as a player runs it, and checks the exact bytes
# it writes and its exit status:
#
#   run_game.sh [OPTION]... -- COMMAND...
#
# COMMAND is the game and its arguments, behind the emulator of a cross
# build, so the same cases hold natively, under qemu-user and under wine.
#   -i INPUT   standard input: a file in tests/inputs (default: empty),
#              "closed", or "directory" (a read fails)
#   -o OUTPUT  standard output: captured (the default); "full": a device
#              that takes nothing; "small-disk": a file system of 4 KiB,
#              which fills during the game's first write; "gone-reader": a
#              pipe whose reader has left (the input then ends, empty);
#              "shared": one read-write file that is standard input and
#              output alike, holding INPUT
#   -e TEXT    the transcript in tests/transcripts that standard output must
#              be (default: no output). Not for -o shared: there the file
#              must hold INPUT's first line, then what the same game writes
#              to a file of its own
#   -s STATUS  the expected exit status (default 0)
#   -r LINE    the one line expected on standard error (default: none)
#   -c         line breaks are CR LF, as Windows text streams write them
# Exits 77 where the machine cannot set the case up (CTest: skipped).
set -u
here=$(cd "$(dirname "$0")" && pwd)
input=$here/inputs/empty output=capture expect=/dev/null status=0 err_line='' crlf=''
while [ "$1" != -- ]; do
  case $1 in
    -i) input=$here/inputs/$2 ;;
    -o) output=$2 ;;
    -e) expect=$here/transcripts/$2 ;;
    -s) status=$2 ;;
    -r) err_line=$2 ;;
    -c) crlf=1; shift; continue ;;
    *) echo "run_game.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
shift
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
out=$work/out

case $output in
  capture)
    case $input in
      */closed) "$@" <&- >"$out" 2>"$work/err" ;;
      */directory) "$@" <"$here/inputs" >"$out" 2>"$work/err" ;;
      *) "$@" <"$input" >"$out" 2>"$work/err" ;;
    esac ;;
  full)
    [ -e /dev/full ] || { echo "skipped: no /dev/full here"; exit 77; }
    "$@" <"$input" >/dev/full 2>"$work/err" ;;
  small-disk)
    # Only root can mount one, and only where the system lets it.
    mkdir "$work/disk"
    mount -t tmpfs -o size=4k gravemoor-test "$work/disk" 2>/dev/null ||
      { echo "skipped: no small file system can be mounted here"; exit 77; }
    "$@" <"$input" >"$work/disk/out" 2>"$work/err"
    disk_status=$?
    umount "$work/disk"
    (exit $disk_status) ;;
  gone-reader)
    # Two FIFOs, opened by the game's side and by ours, then ours closed:
    # the input ends and its output has no reader before it writes a byte.
    mkfifo "$work/in" "$work/to"
    "$@" <"$work/in" >"$work/to" 2>"$work/err" &
    exec 4>"$work/in" 3<"$work/to"
    exec 3<&- 4>&-
    wait $! ;;
  shared)
    cp "$input" "$out"
    "$@" <>"$out" >&0 2>"$work/err" ;;
esac
actual_status=$?

# The expected bytes, as files to compare with; -c makes each LF CR LF.
to_platform() { if [ -n "$crlf" ]; then sed 's/$/\r/'; else cat; fi; }
to_platform <"$expect" >"$work/expected"
if [ -n "$err_line" ]; then printf '%s\n' "$err_line"; fi | to_platform >"$work/expected-err"
if [ "$output" = shared ]; then
  # The name's line as it was, then the game's own text.
  head -n 1 "$input" >"$work/expected"
  "$@" <"$input" >>"$work/expected" 2>/dev/null
fi

failed=0
check() { # what expected actual
  cmp -s "$2" "$3" && return
  echo "$1 differs:"
  diff -u --text "$2" "$3"
  failed=1
}
case $output in capture | shared) check "standard output" "$work/expected" "$out" ;; esac
check "standard error" "$work/expected-err" "$work/err"
if [ "$actual_status" != "$status" ]; then
  echo "exit status: $actual_status where $status was expected"
  failed=1
fi
exit $failed
