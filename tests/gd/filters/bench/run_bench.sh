#!/usr/bin/env bash
# Times talvexf on synthetic units of growing size (the sample unit's shapes
# repeated) and prints its wall time and peak memory per size.
#   run_bench.sh BUILD_DIR [copies...]
# BUILD_DIR holds bin/talvexf and bin/gdtext.
set -euo pipefail
build=${1:?usage: run_bench.sh BUILD_DIR [copies...]}
shift
copies=("$@")
[ ${#copies[@]} -gt 0 ] || copies=(170 1700 17000)
here=$(cd "$(dirname "$0")" && pwd)
sample="$here/../../../../gd/sample/unit.gdt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%8s %10s %10s %10s\n' copies nodes seconds peak_MB
for n in "${copies[@]}"; do
  python3 "$here/gen_unit.py" "$sample" "$n" > "$work/unit.gdt"
  "$build/bin/gdtext" "$work/unit.gdt" "$work/unit.gd"
  nodes=$(tail -n 1 "$work/unit.gdt" | cut -d' ' -f1)
  /usr/bin/time -f '%e %M' -o "$work/time" "$build/bin/talvexf" "$work/unit.gd" "$work/out.gd" 2> "$work/err" || {
    tail -n 5 "$work/err" >&2; exit 1; }
  read -r seconds peak_kb < "$work/time"
  printf '%8d %10d %10s %10d\n' "$n" $(( nodes + 1 )) "$seconds" $(( peak_kb / 1024 ))
done
