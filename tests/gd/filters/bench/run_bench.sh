#!/usr/bin/env bash
# The speed and memory figures of talvexf and of the string pool, each next
# to its goal (see README.md in this directory).
#   run_bench.sh BUILD_DIR [BASE_BUILD_DIR]
# BUILD_DIR holds bin/talvexf, bin/run_gd_filter_filter,
# bin/run_gd_literals_filter, bin/run_gd_derived_filter,
# bin/run_zap_builtin_filter, bin/gdtext and bin/gddump. With BASE_BUILD_DIR
# (another build of the same programs, say of an older commit), every output
# but the prototype units' is also compared byte for byte with that build's
# output on the same unit.
# BENCH_RUNS (default 5) sets how many runs each time is the least of.
# It also shows where talvexf's time goes on the large unit: the share of the
# read, of each step and of the write (step_times.cpp, compiled against each
# build's libraries), beside the base build's when there is one.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../bench/timing.sh"
sample="$here/../../../../gd/sample/unit.gdt"

# filter_on_items MODE COUNT PROGRAM WHAT: times PROGRAM on the unit that
# gen_strings.py MODE COUNT writes (sets seconds), compares its output with
# the base build's, and removes the files.
filter_on_items() {
  local mode=$1 count=$2 program=$3 what=$4
  local unit="$work/$mode$count" output="$work/${mode}_out$count.gd"
  python3 "$here/gen_strings.py" "$mode" "$count" > "$unit.gdt"
  "$build/bin/gdtext" "$unit.gdt" "$unit.gd"
  run "$program, $count $what" /dev/null "$build/bin/$program" "$unit.gd" "$output"
  compare "$program/$count" "$output" "$base/bin/$program" "$unit.gd" "$work/base.out"
  rm -f "$unit.gdt" "$unit.gd" "$output"
}

# step_times BUILD OUTPUT: compiles step_times.cpp against the build's filter
# and store libraries and the headers of the sources it was built from, runs
# it $runs times on the large unit and writes "name seconds" lines to OUTPUT,
# each the least time of the runs; returns 1 when the build lacks what it
# needs.
step_times() {
  local build=$1 output=$2 cache=$1/CMakeCache.txt source compiler
  [ -f "$cache" ] || return 1
  source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")
  compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$cache")
  [ -f "$build/gd/filters/libgdfilters.a" ] && [ -f "$build/gd/libgdstore.a" ] || return 1
  # The store links the support library, where the build has one.
  local support=()
  [ -f "$build/support/libquillon_support.a" ] && support=("$build/support/libquillon_support.a")
  "${compiler:-c++}" -std=c++20 -O2 -I"$source/gd/include" -I"$source/gd/filters/include" \
    "$here/step_times.cpp" "$build/gd/filters/libgdfilters.a" "$build/gd/libgdstore.a" "${support[@]}" \
    -o "$work/step_times" 2> "$work/err" || return 1
  for ((r = 0; r < runs; r++)); do
    "$work/step_times" "$work/unit17000.gd" "$work/steps.gd" > "$work/steps.$r" 2> /dev/null || return 1
  done
  awk '{ if (!(FNR in least) || $2 < least[FNR]) least[FNR] = $2; name[FNR] = $1; if (FNR > n) n = FNR }
       END { for (i = 1; i <= n; i++) print name[i], least[i] }' "$work"/steps.[0-9]* > "$output"
  rm -f "$work/steps.gd" "$work"/steps.[0-9]*
}

# run_times RUNS FILE COMMAND...: runs the command RUNS times (output to
# /dev/null) and writes one "user system" line per run to FILE, in seconds.
run_times() {
  local count=$1 file=$2
  shift 2
  python3 - "$count" "$file" "$@" <<'PY'
import os, subprocess, sys
count, file, command = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
with open(file, "w") as out:
    for _ in range(count):
        child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(child.pid, 0)
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"{command[0]} failed")
        out.write(f"{usage.ru_utime:.6f} {usage.ru_stime:.6f}\n")
PY
}
# processor_times FILE: the processor times (user and system) of the runs in
# FILE, for least and median.
processor_times() { awk '{ printf "%.6f ", $1 + $2 }' "$1"; }
# median_over_least FILE: the median processor time of the runs in FILE over
# the least.
median_over_least() { ratio "$(median "$(processor_times "$1")")" "$(least "$(processor_times "$1")")"; }
# least_time FILE: the least processor time of the runs in FILE.
least_time() { least "$(processor_times "$1")"; }
# system_share FILE: system time over processor time, of the run with the
# least processor time.
system_share() {
  awk '{ t = $1 + $2; if (NR == 1 || t < l) { l = t; s = $2 } } END { printf "%.2f", s / l }' "$1"
}

echo "Processor times (least of $runs runs) and peak memory:" >&2
declare -A unit_nodes
for copies in 1700 17000 68000; do
  python3 "$here/gen_unit.py" "$sample" "$copies" > "$work/unit$copies.gdt"
  "$build/bin/gdtext" "$work/unit$copies.gdt" "$work/unit$copies.gd"
  unit_nodes[$copies]=$(( $(tail -n 1 "$work/unit$copies.gdt" | cut -d' ' -f1) + 1 ))
done
run "talvexf, ${unit_nodes[1700]} nodes" /dev/null "$build/bin/talvexf" "$work/unit1700.gd" "$work/out1700.gd"
small_seconds=$seconds
compare "talvexf/${unit_nodes[1700]}" "$work/out1700.gd" "$base/bin/talvexf" "$work/unit1700.gd" "$work/base.out"
run "talvexf, ${unit_nodes[17000]} nodes" /dev/null "$build/bin/talvexf" "$work/unit17000.gd" "$work/out17000.gd"
large_seconds=$seconds
large_peak_kb=$peak_kb
compare "talvexf/${unit_nodes[17000]}" "$work/out17000.gd" "$base/bin/talvexf" "$work/unit17000.gd" "$work/base.out"
run "run_gd_filter_filter, ${unit_nodes[17000]} nodes" /dev/null "$build/bin/run_gd_filter_filter" "$work/unit17000.gd" "$work/filtered.gd"
filter_seconds=$seconds
compare "run_gd_filter_filter/${unit_nodes[17000]}" "$work/filtered.gd" \
  "$base/bin/run_gd_filter_filter" "$work/unit17000.gd" "$work/base.out"
input_bytes=$(stat -c %s "$work/unit17000.gd")

# The largest unit: time per node against the million-node unit, and how
# much of the time the system takes (page faults, zeroing and copying of
# memory, the file's pages).
run_times "$runs" "$work/times68000" "$build/bin/talvexf" "$work/unit68000.gd" "$work/out68000.gd"
huge_seconds=$(least_time "$work/times68000")
huge_system_share=$(system_share "$work/times68000")
printf '  %-52s %8.3f s, system %s of it\n' "talvexf, ${unit_nodes[68000]} nodes" "$huge_seconds" "$huge_system_share" >&2
compare "talvexf/${unit_nodes[68000]}" "$work/out68000.gd" "$base/bin/talvexf" "$work/unit68000.gd" "$work/base.out"
rm -f "$work/unit68000.gdt" "$work/unit68000.gd" "$work/out68000.gd"

# Steadiness: seven runs of one reachability pass and of refwho (the users of
# a namespace in talvexf's output), the median time over the least.
run_times 7 "$work/times.filter" "$build/bin/run_gd_filter_filter" "$work/unit17000.gd" "$work/filtered.gd"
run_times 7 "$work/times.refwho" "$build/bin/refwho" "$work/out17000.gd" 13
for program in filter refwho; do
  printf '  %-52s %8.3f s least, %s median / least\n' "$program, 7 runs" \
    "$(least_time "$work/times.$program")" "$(median_over_least "$work/times.$program")" >&2
done

# Writing over the output of an earlier run against writing to a name that
# is free, in turns. Each free name is new and the files go only after the
# last run: a file removed just before a run would hand that run the
# memory of its pages, which on a virtual machine the host has at hand,
# and make writing to a free name look cheaper than it is.
: > "$work/times.fresh"
: > "$work/times.over"
for ((r = 0; r < runs; r++)); do
  run_times 1 "$work/one" "$build/bin/talvexf" "$work/unit17000.gd" "$work/fresh.$r.gd"
  cat "$work/one" >> "$work/times.fresh"
  run_times 1 "$work/one" "$build/bin/talvexf" "$work/unit17000.gd" "$work/out17000.gd"
  cat "$work/one" >> "$work/times.over"
done
rm -f "$work"/fresh.*.gd
printf '  %-52s %8.3f s fresh, %.3f s over\n' "talvexf, ${unit_nodes[17000]} nodes" \
  "$(least_time "$work/times.fresh")" "$(least_time "$work/times.over")" >&2

declare -A literal_seconds names_seconds
for count in 50000 200000; do
  filter_on_items literals "$count" run_gd_literals_filter constants
  literal_seconds[$count]=$seconds
  python3 "$here/gen_strings.py" names "$count" > "$work/names$count.gdt"
  run "gdtext, $count identifiers" /dev/null "$build/bin/gdtext" "$work/names$count.gdt" "$work/names$count.gd"
  names_seconds[$count]=$seconds
  compare "gdtext/$count" "$work/names$count.gd" "$base/bin/gdtext" "$work/names$count.gdt" "$work/base.out"
done

# One item more costs the same however many came before: appends to the
# global scope keep their place, and the uses of every built-in type are
# found in one search.
declare -A pointer_seconds builtin_seconds
for count in 250000 1000000; do
  filter_on_items pointers "$count" run_gd_derived_filter "pointer types"
  pointer_seconds[$count]=$seconds
  filter_on_items builtins "$count" run_zap_builtin_filter "unused types"
  builtin_seconds[$count]=$seconds
done

# Prototypes that share one function type: talvexf copies the type's formals
# for every function, so its output grows with prototypes times parameters,
# and each formal costs the same however many there are. The counts show
# that each unit comes out whole (a base build from before a healthy unit
# was translated whole cut these units short: its counts show it, and its
# outputs are not compared).
formal_objects() { "$1/bin/gddump" "$2" | grep -c ' cFormalObject' || true; }
declare -A prototype_seconds
for shape in 500x12 2000x12 2000x200; do
  functions=${shape%x*} params=${shape#*x}
  python3 "$here/gen_prototypes.py" "$functions" "$params" > "$work/protos.gdt"
  "$build/bin/gdtext" "$work/protos.gdt" "$work/protos.gd"
  run "talvexf, $functions prototypes of $params parameters" /dev/null \
    "$build/bin/talvexf" "$work/protos.gd" "$work/protos.out.gd"
  prototype_seconds[$shape]=$seconds
  counts="  formal objects written: $(formal_objects "$build" "$work/protos.out.gd") of $(( functions * params ))"
  if [ -n "$base" ]; then
    "$base/bin/talvexf" "$work/protos.gd" "$work/protos.base.gd" 2> /dev/null || true
    counts="$counts, by the base build $(formal_objects "$build" "$work/protos.base.gd")"
  fi
  echo "$counts" >&2
  rm -f "$work"/protos.*
done

goal "talvexf / run_gd_filter_filter, ${unit_nodes[17000]} nodes" "$(ratio "$large_seconds" "$filter_seconds")" 5
goal "talvexf peak resident memory / input file" "$(ratio $(( large_peak_kb * 1024 )) "$input_bytes")" 4
goal "talvexf time per node, ${unit_nodes[17000]} / ${unit_nodes[1700]} nodes" \
  "$(per_item_ratio "$large_seconds" "${unit_nodes[17000]}" "$small_seconds" "${unit_nodes[1700]}")" 1.5
goal "talvexf time per node, ${unit_nodes[68000]} / ${unit_nodes[17000]} nodes" \
  "$(per_item_ratio "$huge_seconds" "${unit_nodes[68000]}" "$large_seconds" "${unit_nodes[17000]}")" 1.2
goal "talvexf system time / processor time, ${unit_nodes[68000]} nodes" "$huge_system_share" 0.15
goal "run_gd_filter_filter median / least of 7" "$(median_over_least "$work/times.filter")" 1.25
goal "refwho median / least of 7" "$(median_over_least "$work/times.refwho")" 1.25
goal "talvexf over an earlier output / to a free name" \
  "$(ratio "$(least_time "$work/times.over")" "$(least_time "$work/times.fresh")")" 1.15
goal "run_gd_literals_filter time per string, 200000 / 50000" \
  "$(per_item_ratio "${literal_seconds[200000]}" 200000 "${literal_seconds[50000]}" 50000)" 1.5
goal "gdtext time per string, 200000 / 50000" \
  "$(per_item_ratio "${names_seconds[200000]}" 200000 "${names_seconds[50000]}" 50000)" 1.5
goal "run_gd_derived_filter time per type, 1000000 / 250000" \
  "$(per_item_ratio "${pointer_seconds[1000000]}" 1000000 "${pointer_seconds[250000]}" 250000)" 1.5
goal "run_zap_builtin_filter time per type, 1000000 / 250000" \
  "$(per_item_ratio "${builtin_seconds[1000000]}" 1000000 "${builtin_seconds[250000]}" 250000)" 1.5
goal "talvexf time per formal object, 400000 / 24000 formals" \
  "$(per_item_ratio "${prototype_seconds[2000x200]}" 400000 "${prototype_seconds[2000x12]}" 24000)" 1.5

echo
echo "Where talvexf's time goes, ${unit_nodes[17000]} nodes (least processor time of $runs runs per step):"
if step_times "$build" "$work/steps.new"; then
  if [ -n "$base" ] && step_times "$base" "$work/steps.base"; then
    paste "$work/steps.base" "$work/steps.new" | awk '
      { name[NR] = $1; b[NR] = $2; n[NR] = $4; tb += $2; tn += $4 }
      END {
        printf "  %-34s %10s %7s %10s %7s\n", "", "base s", "share", "this s", "share"
        for (i = 1; i <= NR; i++)
          printf "  %-34s %10.4f %6.1f%% %10.4f %6.1f%%\n", name[i], b[i], 100 * b[i] / tb, n[i], 100 * n[i] / tn
        printf "  %-34s %10.4f %7s %10.4f\n", "all", tb, "", tn
      }'
  else
    awk '{ name[NR] = $1; n[NR] = $2; t += $2 }
      END {
        printf "  %-34s %10s %7s\n", "", "seconds", "share"
        for (i = 1; i <= NR; i++) printf "  %-34s %10.4f %6.1f%%\n", name[i], n[i], 100 * n[i] / t
        printf "  %-34s %10.4f\n", "all", t
      }' "$work/steps.new"
  fi
else
  echo "  (the build has no filter and store libraries to time the steps with)"
fi

report_goals
