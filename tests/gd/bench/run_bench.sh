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
here=$(cd "$(dirname "$0")" && pwd)
source "$here/timing.sh"
filters_bench="$here/../filters/bench"
sample="$here/../../../gd/sample/unit.gdt"
export LC_ALL=C

echo "Processor times (least of $runs runs) and peak memory:" >&2
python3 "$filters_bench/gen_unit.py" "$sample" 17000 > "$work/unit.gdt"
nodes=$(( $(tail -n 1 "$work/unit.gdt" | cut -d' ' -f1) + 1 ))
text_bytes=$(stat -c %s "$work/unit.gdt")

# The text form: compiling it against sorting it on one thread, as gdtext
# runs, and dumping the file.
sort_text=(/usr/bin/sort --parallel=1 -o "$work/sorted" "$work/unit.gdt")
gdtext_text=("$build/bin/gdtext" "$work/unit.gdt" "$work/unit.gd")
interleave "gdtext, $nodes nodes, against sort --parallel=1" /dev/null gdtext_text sort_text
gdtext_best=$best_ratio gdtext_median=$median_ratio
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
  # The dump of every node, against the base build's.
  peek_all=("$build/bin/nodepeek" "$work/ririra.gd")
  base_peek_all=("$base/bin/nodepeek" "$work/ririra.gd")
  interleave "nodepeek, every node, against the base build" /dev/null peek_all base_peek_all
  peek_best=$best_ratio peek_median=$median_ratio
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

goal "gdtext / LC_ALL=C sort --parallel=1, $nodes nodes, best" "$gdtext_best" 1.5
goal "gdtext / LC_ALL=C sort --parallel=1, median" "$gdtext_median" 1.5
goal "gdtext peak resident memory / its text" "$(ratio $(( gdtext_peak_kb * 1024 )) "$text_bytes")" 3
goal "gddump peak resident memory / its input file" "$(ratio $(( gddump_peak_kb * 1024 )) "$unit_bytes")" 1.5
goal "graphxml / run_gd_filter_filter, Ririra graph" "$(ratio "$graphxml_seconds" "$filter_seconds")" 0.8
goal "nodepeek of one node / run_gd_filter_filter" "$(ratio "$nodepeek_seconds" "$filter_seconds")" 0.8
goal "refwho / run_gd_filter_filter" "$(ratio "$refwho_seconds" "$filter_seconds")" 0.8
if [ -n "$base" ]; then
  goal "nodepeek of every node / the base build's, best" "$peek_best" 1.0
  goal "nodepeek of every node / the base build's, median" "$peek_median" 1.0
fi

report_goals
