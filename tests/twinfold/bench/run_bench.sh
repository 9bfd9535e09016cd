#!/usr/bin/env bash
# Times twinfold (processor time) on generated linked fact files whose header copies hold
# calls between their own functions, in the default (union) mode and with -u,
# and prints for each mode the time per input line at the large size over the
# time per input line at the small size, next to the goal.
#   run_bench.sh path/to/twinfold [small_units large_units]
set -euo pipefail
program=${1:?usage: run_bench.sh path/to/twinfold [small_units large_units]}
small=${2:-500}
large=${3:-2000}
goal=1.5
# 20 headers, 4 included per unit, 20 functions per header, each calling the
# next 4 functions of its own copy.
shape=(20 4 20 4)
runs=5
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Least processor time (user and system) of several runs, in seconds: on a
# shared machine it varies far less than the wall time.
best_time() {
  local best="" t
  for _ in $(seq "$runs"); do
    /usr/bin/time -f '%U %S' -o "$work/time" "$@" > /dev/null 2> "$work/err" || { cat "$work/err" >&2; exit 1; }
    t=$(awk '{ print $1 + $2 }' "$work/time")
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}

for units in "$small" "$large"; do
  python3 "$here/gen_linked_ta.py" "$units" "${shape[@]}" > "$work/in$units.ta"
done

printf '%-8s %8s %12s %10s %14s %8s %6s\n' mode units input_lines cpu_seconds us_per_line ratio goal
for mode in default -u; do
  options=()
  [ "$mode" = default ] || options=("$mode")
  per_line=()
  for units in "$small" "$large"; do
    lines=$(wc -l < "$work/in$units.ta")
    seconds=$(best_time "$program" "${options[@]}" "$work/in$units.ta" "$work/out.ta")
    us=$(echo "$seconds * 1000000 / $lines" | bc -l)
    per_line+=("$us")
    if [ "$units" = "$large" ]; then
      ratio=$(echo "${per_line[1]} / ${per_line[0]}" | bc -l)
      printf '%-8s %8d %12d %10.3f %14.3f %8.2f %6s\n' "$mode" "$units" "$lines" "$seconds" "$us" "$ratio" "$goal"
    else
      printf '%-8s %8d %12d %10.3f %14.3f %8s %6s\n' "$mode" "$units" "$lines" "$seconds" "$us" "" ""
    fi
  done
done
