#!/usr/bin/env bash
# Measures what a whole game costs against the floor: a plain C program that
# writes the identical transcript with one write(2). Reports instructions
# (callgrind, which counts the loader too and repeats exactly) and peak
# resident memory (/usr/bin/time, the median of RUNS runs) for a short game
# and a long one, then the in-process Google Benchmark.
# Usage: bench/measure.sh            (RUNS=21 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-21}

cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
game=build/bench/gravemoor
readelf -d "$game" | grep -q 'NEEDED.*libstdc++' && echo "note: the game loads libstdc++"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo Ann >"$work/name"

# Builds the floor program for a transcript.
build_floor() {
  local transcript=$1 floor=$2
  {
    echo '#include <unistd.h>'
    echo 'static const unsigned char text[] = {'
    od -An -v -tu1 "$transcript" | sed 's/  */,/g; s/^,//; s/$/,/'
    echo '};'
    echo 'int main(void) { return write(1, text, sizeof text) == (long)sizeof text ? 0 : 1; }'
  } >"$floor.c"
  cc -O2 -o "$floor" "$floor.c"
}

instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" <"$work/name" 2>&1 >/dev/null |
    sed -n 's/.*Collected : //p'
}

peak_kb() {
  for _ in $(seq "$runs"); do
    /usr/bin/time -f %M "$@" <"$work/name" 2>&1 >/dev/null
  done | sort -n | sed -n "$(((runs + 1) / 2))p"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

echo "| game | seed | lines | instructions: game | floor | ratio | peak RSS KiB: game | floor | ratio |"
echo "|---|---|---|---|---|---|---|---|---|"
for entry in "short:1" "long:127706"; do
  name=${entry%%:*} seed=${entry#*:}
  "$game" "$seed" <"$work/name" >"$work/$seed.txt"
  build_floor "$work/$seed.txt" "$work/floor-$seed"
  gi=$(instructions "$game" "$seed")
  fi=$(instructions "$work/floor-$seed")
  gm=$(peak_kb "$game" "$seed")
  fm=$(peak_kb "$work/floor-$seed")
  echo "| $name | $seed | $(wc -l <"$work/$seed.txt") | $gi | $fi | $(ratio "$gi" "$fi") | $gm | $fm | $(ratio "$gm" "$fm") |"
done

echo
build/bench/games_bench --benchmark_min_time=0.2 2>&1
