#!/usr/bin/env bash
# The speed and memory figures of gdtext, gddump and the export programs,
# each next to its goal (see README.md in this directory).
#   run_bench.sh BUILD_DIR [BASE_BUILD_DIR]
# BUILD_DIR holds bin/gdtext, bin/gddump, bin/talvexf, bin/run_gd_filter_filter,
# bin/graphxml, bin/nodepeek and bin/refwho. With BASE_BUILD_DIR (another
# build of the same programs, say of an older commit), every output of
# gdtext, gddump, graphxml, nodepeek and refwho is also compared byte for
# byte with that build's output on the same input.
# BENCH_RUNS (default 5) sets how many runs each time is the least of.
set -euo pipefail
build=${1:?usage: run_bench.sh BUILD_DIR [BASE_BUILD_DIR]}
base=${2:-}
runs=${BENCH_RUNS:-5}
here=$(cd "$(dirname "$0")" && pwd)
filters_bench="$here/../filters/bench"
sample="$here/../../../gd/sample/unit.gdt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C

# run NAME OUTPUT COMMAND...: runs the command $runs times with its standard
# output to OUTPUT; sets seconds (the least processor time, user and system,
# which a busy machine disturbs far less than the wall time) and peak_kb
# (the largest peak resident set).
run() {
  local name=$1 output=$2 best="" peak=0 t kb
  shift 2
  for ((r = 0; r < runs; r++)); do
    python3 "$filters_bench/measure.py" "$work/usage" "$@" > "$output" 2> "$work/err" || {
      echo "$name failed:" >&2; tail -n 5 "$work/err" >&2; exit 1; }
    read -r t kb < "$work/usage"
    (( kb > peak )) && peak=$kb
    best=$(awk -v a="$best" -v t="$t" 'BEGIN { print (a == "" || t < a) ? t : a }')
  done
  seconds=$best
  peak_kb=$peak
  printf '  %-52s %8.3f s %8d MB\n' "$name" "$seconds" $(( peak_kb / 1024 )) >&2
}

same="" differ=""
# compare NAME OUTPUT COMMAND...: with a base build, runs the command and
# compares what it writes on standard output, or into $work/base.out, with
# OUTPUT.
compare() {
  local name=$1 output=$2
  shift 2
  [ -n "$base" ] || return 0
  rm -f "$work/base.out"
  "$@" > "$work/base.stdout" 2> /dev/null || { echo "base build failed on $name" >&2; exit 1; }
  [ -e "$work/base.out" ] || mv "$work/base.stdout" "$work/base.out"
  if cmp -s "$output" "$work/base.out"; then same="$same $name"; else differ="$differ $name"; fi
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
rows=()
# goal NAME VALUE LIMIT
goal() {
  local met
  met=$(awk -v v="$2" -v l="$3" 'BEGIN { print (v <= l) ? "met" : "MISSED" }')
  rows+=("$(printf '%-58s %8s %8s   %s' "$1" "$2" "<= $3" "$met")")
}

echo "Processor times (least of $runs runs) and peak memory:" >&2
python3 "$filters_bench/gen_unit.py" "$sample" 17000 > "$work/unit.gdt"
nodes=$(( $(tail -n 1 "$work/unit.gdt" | cut -d' ' -f1) + 1 ))
text_bytes=$(stat -c %s "$work/unit.gdt")

# The text form: compiling it against sorting it, and dumping the file.
run "sort, the text of $nodes nodes" /dev/null /usr/bin/sort -o "$work/sorted" "$work/unit.gdt"
sort_seconds=$seconds
run "gdtext, $nodes nodes" /dev/null "$build/bin/gdtext" "$work/unit.gdt" "$work/unit.gd"
gdtext_seconds=$seconds
gdtext_peak_kb=$peak_kb
compare "gdtext" "$work/unit.gd" "$base/bin/gdtext" "$work/unit.gdt" "$work/base.out"
unit_bytes=$(stat -c %s "$work/unit.gd")
run "gddump, $nodes nodes" "$work/dump.txt" "$build/bin/gddump" "$work/unit.gd"
gddump_peak_kb=$peak_kb
compare "gddump" "$work/dump.txt" "$base/bin/gddump" "$work/unit.gd"

# The Ririra graph of the unit, as talvexf of the build makes it, and the
# programs that read it, against one reachability pass over it.
"$build/bin/talvexf" "$work/unit.gd" "$work/ririra.gd" 2> /dev/null
run "run_gd_filter_filter, Ririra graph" /dev/null "$build/bin/run_gd_filter_filter" "$work/ririra.gd" "$work/filtered.gd"
filter_seconds=$seconds
# Standard output goes to /dev/null for the times: the programs' own work,
# not the file system's.
run "graphxml, Ririra graph" /dev/null "$build/bin/graphxml" "$work/ririra.gd"
graphxml_seconds=$seconds
run "nodepeek, one node of the Ririra graph" /dev/null "$build/bin/nodepeek" "$work/ririra.gd" 13
nodepeek_seconds=$seconds
run "refwho, users of one node of the Ririra graph" /dev/null "$build/bin/refwho" "$work/ririra.gd" 13
refwho_seconds=$seconds
if [ -n "$base" ]; then
  "$build/bin/graphxml" "$work/ririra.gd" > "$work/out.gxl"
  compare "graphxml" "$work/out.gxl" "$base/bin/graphxml" "$work/ririra.gd"
  rm -f "$work/out.gxl"
  "$build/bin/nodepeek" "$work/ririra.gd" > "$work/peek.txt"
  compare "nodepeek/all" "$work/peek.txt" "$base/bin/nodepeek" "$work/ririra.gd"
  rm -f "$work/peek.txt"
  "$build/bin/nodepeek" "$work/ririra.gd" 13 > "$work/peek.txt"
  compare "nodepeek/13" "$work/peek.txt" "$base/bin/nodepeek" "$work/ririra.gd" 13
  "$build/bin/gddump" "$work/ririra.gd" > "$work/dump.txt"
  compare "gddump/ririra" "$work/dump.txt" "$base/bin/gddump" "$work/ririra.gd"
  # A namespace, the built-in int (used everywhere) and the last node.
  last_node=$(tail -n 1 "$work/dump.txt" | cut -d' ' -f1)
  for node in 13 4 "$last_node"; do
    "$build/bin/refwho" "$work/ririra.gd" "$node" > "$work/users.txt"
    compare "refwho/$node" "$work/users.txt" "$base/bin/refwho" "$work/ririra.gd" "$node"
  done
fi

goal "gdtext / LC_ALL=C sort of the same text, $nodes nodes" "$(ratio "$gdtext_seconds" "$sort_seconds")" 2
goal "gdtext peak resident memory / its text" "$(ratio $(( gdtext_peak_kb * 1024 )) "$text_bytes")" 3
goal "gddump peak resident memory / its input file" "$(ratio $(( gddump_peak_kb * 1024 )) "$unit_bytes")" 1.5
goal "graphxml / run_gd_filter_filter, Ririra graph" "$(ratio "$graphxml_seconds" "$filter_seconds")" 0.8
goal "nodepeek of one node / run_gd_filter_filter" "$(ratio "$nodepeek_seconds" "$filter_seconds")" 0.8
goal "refwho / run_gd_filter_filter" "$(ratio "$refwho_seconds" "$filter_seconds")" 0.8

echo
printf '%-58s %8s %8s\n' figure value goal
printf '%s\n' "${rows[@]}"
if [ -n "$base" ]; then
  echo
  echo "outputs equal to the base build's:${same:- none}"
  [ -z "$differ" ] || { echo "outputs that DIFFER:$differ"; exit 1; }
fi
