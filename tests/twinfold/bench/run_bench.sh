#!/usr/bin/env bash
# The speed and memory figures of twinfold, each next to its goal (see
# README.md in this directory).
#   run_bench.sh BUILD_DIR [BASE_BUILD_DIR [SPEED_BUILD_DIR]]
# BUILD_DIR holds bin/twinfold. With BASE_BUILD_DIR (another build, say of
# main), every output is compared byte for byte with that build's output on
# the same input, and each time is set beside that build's; SPEED_BUILD_DIR
# (say a build of an older commit whose outputs differ) gives time ratios
# only. BENCH_RUNS (default 5) sets how many runs each time is the least of.
set -euo pipefail
build=${1:?usage: run_bench.sh BUILD_DIR [BASE_BUILD_DIR [SPEED_BUILD_DIR]]}
base=${2:-}
speed_base=${3:-$base}
runs=${BENCH_RUNS:-5}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# run NAME COMMAND...: runs the command $runs times, its standard output and
# error to files in the work directory; sets seconds (the least processor
# time, user and system, which a busy machine disturbs far less than the
# wall time), peak_kb (the largest peak resident set) and peak_vm_kb (the
# largest peak address space, which a limit such as ulimit -v counts).
run() {
  local name=$1 best="" peak=0 peak_vm=0 t kb vm
  shift
  for ((r = 0; r < runs; r++)); do
    python3 "$here/../../bench/measure.py" --address-space "$work/usage" "$@" > "$work/stdout" 2> "$work/stderr" || true
    read -r t kb vm < "$work/usage"
    (( kb > peak )) && peak=$kb
    (( vm > peak_vm )) && peak_vm=$vm
    best=$(awk -v a="$best" -v t="$t" 'BEGIN { print (a == "" || t < a) ? t : a }')
  done
  seconds=$best
  peak_kb=$peak
  peak_vm_kb=$peak_vm
  printf '  %-52s %8.3f s %8d MB %8d MB of addresses\n' "$name" "$seconds" $(( peak_kb / 1024 )) $(( peak_vm_kb / 1024 )) >&2
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
rows=()
# goal NAME VALUE LIMIT
goal() {
  local met
  met=$(awk -v v="$2" -v l="$3" 'BEGIN { print (v <= l) ? "met" : "MISSED" }')
  rows+=("$(printf '%-70s %8s %8s   %s' "$1" "$2" "<= $3" "$met")")
}
same="" differ=""

# twinfold_on NAME INPUT [OPTION]: times twinfold on INPUT (sets seconds and
# peak_kb), then, with a base build, times that build on it, compares the
# outputs and sets the figure of the two times.
twinfold_on() {
  local name=$1 input=$2
  shift 2
  run "twinfold${*:+ $*}, $name" "$build/bin/twinfold" "$@" "$input" "$work/out.ta"
  local own=$seconds own_peak=$peak_kb own_peak_vm=$peak_vm_kb
  if [ -n "$base" ]; then
    "$base/bin/twinfold" "$@" "$input" "$work/base.ta" 2> /dev/null || { echo "base build failed on $name" >&2; exit 1; }
    if cmp -s "$work/out.ta" "$work/base.ta"; then same="$same; $name${*:+ $*}"; else differ="$differ; $name${*:+ $*}"; fi
  fi
  if [ -n "$speed_base" ]; then
    run "  the base build" "$speed_base/bin/twinfold" "$@" "$input" "$work/base.ta"
    goal "twinfold${*:+ $*} / the base build, $name" "$(ratio "$own" "$seconds")" 1.00
  fi
  seconds=$own
  peak_kb=$own_peak
  peak_vm_kb=$own_peak_vm
}

echo "Processor times (least of $runs runs) and peak memory:" >&2

# The linked base: 2,000 units, each including 50 of 200 headers of 8
# functions, the generator's own shape.
python3 "$here/gen_linked_ta.py" 2000 > "$work/base2000.ta"
base_bytes=$(stat -c %s "$work/base2000.ta")
# sort on one thread, as twinfold runs, and twinfold, taken in turn so that
# both meet the same load of the machine: the figure from the least times
# and from the median ones.
sort_times=() twinfold_times=()
for ((r = 0; r < runs; r++)); do
  python3 "$here/../../bench/measure.py" "$work/usage" env LC_ALL=C sort --parallel=1 -o "$work/sorted" "$work/base2000.ta"
  read -r t _ < "$work/usage"
  sort_times+=("$t")
  python3 "$here/../../bench/measure.py" "$work/usage" "$build/bin/twinfold" "$work/base2000.ta" "$work/out.ta"
  read -r t _ < "$work/usage"
  twinfold_times+=("$t")
done
least() { printf '%s\n' "$@" | sort -g | head -n 1; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
printf '  %-52s %8.3f s least, %8.3f s median\n' "LC_ALL=C sort --parallel=1, linked base" "$(least "${sort_times[@]}")" "$(median "${sort_times[@]}")" >&2
printf '  %-52s %8.3f s least, %8.3f s median\n' "twinfold, taken in turn with sort" "$(least "${twinfold_times[@]}")" "$(median "${twinfold_times[@]}")" >&2
goal "twinfold / LC_ALL=C sort --parallel=1, linked base of 2000 units, least" \
  "$(ratio "$(least "${twinfold_times[@]}")" "$(least "${sort_times[@]}")")" 1.25
goal "twinfold / LC_ALL=C sort --parallel=1, linked base of 2000 units, median" \
  "$(ratio "$(median "${twinfold_times[@]}")" "$(median "${sort_times[@]}")")" 1.25
twinfold_on "linked base" "$work/base2000.ta"
goal "twinfold peak resident memory / input, linked base" "$(ratio $(( peak_kb * 1024 )) "$base_bytes")" 3
goal "twinfold peak address space / input, linked base" "$(ratio $(( peak_vm_kb * 1024 )) "$base_bytes")" 4
twinfold_on "linked base" "$work/base2000.ta" -u
rm -f "$work/base2000.ta"

# Header copies that hold calls between their own functions: 20 headers, 4
# included per unit, 20 functions per header, each calling the next 4 of its
# own copy. The time per input line must not grow with the units.
shape=(20 4 20 4)
for units in 500 2000; do
  python3 "$here/gen_linked_ta.py" "$units" "${shape[@]}" > "$work/calls$units.ta"
done
for mode in default -u; do
  options=()
  [ "$mode" = default ] || options=("$mode")
  declare -A per_line=()
  for units in 500 2000; do
    twinfold_on "calls, $units units" "$work/calls$units.ta" "${options[@]}"
    per_line[$units]=$(awk -v s="$seconds" -v l="$(wc -l < "$work/calls$units.ta")" 'BEGIN { print s / l }')
  done
  goal "twinfold $mode time per line, calls 2000 / 500 units" "$(ratio "${per_line[2000]}" "${per_line[500]}")" 1.5
done

# A parse error before a 10 MB line: the echo of the line costs what a copy
# of it costs.
python3 -c 'import sys; sys.stdout.write("}" + "x" * 10000000 + "\n")' > "$work/long.ta"
run "twinfold parse-error echo, 10 MB line" "$build/bin/twinfold" "$work/long.ta"
echo_seconds=$seconds
run "cat of it" cat "$work/long.ta"
goal "twinfold echo of a 10 MB line after a parse error / cat of it" "$(ratio "$echo_seconds" "$seconds")" 2

echo
printf '%-70s %8s %8s\n' figure value goal
printf '%s\n' "${rows[@]}"
if [ -n "$base" ]; then
  echo
  echo "outputs equal to the base build's: ${same#; }"
  [ -z "$differ" ] || { echo "outputs that DIFFER: ${differ#; }"; exit 1; }
fi
