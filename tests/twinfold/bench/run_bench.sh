#!/usr/bin/env bash
# Times twinfold on generated linked fact files of growing size and prints
# wall time and peak memory per size.
#   run_bench.sh path/to/twinfold [units...]
set -euo pipefail
program=${1:?usage: run_bench.sh path/to/twinfold [units...]}
shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(250 500 1000 2000)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%8s %12s %10s %10s %10s %10s\n' units input_lines input_MB output_MB seconds peak_MB
for units in "${sizes[@]}"; do
  python3 "$here/gen_linked_ta.py" "$units" > "$work/in.ta"
  lines=$(wc -l < "$work/in.ta")
  in_mb=$(( $(stat -c %s "$work/in.ta") / 1048576 ))
  /usr/bin/time -f '%e %M' -o "$work/time" "$program" "$work/in.ta" "$work/out.ta" 2> "$work/err" || {
    cat "$work/err" >&2; exit 1; }
  read -r seconds peak_kb < "$work/time"
  out_mb=$(( $(stat -c %s "$work/out.ta") / 1048576 ))
  printf '%8d %12d %10d %10d %10s %10d\n' "$units" "$lines" "$in_mb" "$out_mb" "$seconds" $(( peak_kb / 1024 ))
done
