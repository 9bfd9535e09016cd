# The frame, timing and reporting of the gd benchmarks, sourced by
# tests/gd/bench/run_bench.sh and tests/gd/filters/bench/run_bench.sh with
# their arguments, BUILD_DIR [BASE_BUILD_DIR]. It sets `build`, `base` (empty
# for none), `runs` (BENCH_RUNS, default 5: how many runs each time is the
# least of) and `work`, a scratch folder removed at the exit.
set -euo pipefail
build=${1:?usage: run_bench.sh BUILD_DIR [BASE_BUILD_DIR]}
base=${2:-}
runs=${BENCH_RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
timing_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# measure_once NAME OUTPUT COMMAND...: runs the command once with its
# standard output to OUTPUT; sets t (its processor time) and kb (its peak
# resident set).
measure_once() {
  local name=$1 output=$2
  shift 2
  python3 "$timing_here/../../bench/measure.py" "$work/usage" "$@" > "$output" 2> "$work/err" || {
    echo "$name failed:" >&2; tail -n 5 "$work/err" >&2; exit 1; }
  read -r t kb < "$work/usage"
}

# run NAME OUTPUT COMMAND...: runs the command $runs times with its standard
# output to OUTPUT; sets seconds (the least processor time, user and system,
# which a busy machine disturbs far less than the wall time) and peak_kb
# (the largest peak resident set).
run() {
  local name=$1 output=$2 best="" peak=0 t kb
  shift 2
  for ((r = 0; r < runs; r++)); do
    measure_once "$name" "$output" "$@"
    (( kb > peak )) && peak=$kb
    best=$(awk -v a="$best" -v t="$t" 'BEGIN { print (a == "" || t < a) ? t : a }')
  done
  seconds=$best
  peak_kb=$peak
  printf '  %-52s %8.3f s %8d MB\n' "$name" "$seconds" $(( peak_kb / 1024 )) >&2
}

# least LIST and median LIST: of the numbers in the words of LIST.
least() { printf '%s\n' $1 | sort -g | head -n 1; }
median() { printf '%s\n' $1 | sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# interleave NAME OUTPUT A B: runs the commands held in the arrays named A
# and B in turn, A B A B ..., $runs times each, standard output to OUTPUT, so
# that a change in the machine's speed meets both alike. Sets best_ratio (A's
# least processor time over B's), median_ratio (A's median over B's) and
# peak_kb (A's largest peak resident set).
interleave() {
  local name=$1 output=$2 a_times="" b_times="" peak=0 r
  local -n first=$3 second=$4
  for ((r = 0; r < runs; r++)); do
    measure_once "$name" "$output" "${first[@]}"
    a_times="$a_times $t"
    (( kb > peak )) && peak=$kb
    measure_once "$name" "$output" "${second[@]}"
    b_times="$b_times $t"
  done
  local a_least a_median b_least b_median
  a_least=$(least "$a_times") a_median=$(median "$a_times")
  b_least=$(least "$b_times") b_median=$(median "$b_times")
  best_ratio=$(ratio "$a_least" "$b_least")
  median_ratio=$(ratio "$a_median" "$b_median")
  peak_kb=$peak
  printf '  %-52s %8.3f s %8.3f s (least, median)\n' "$name" "$a_least" "$a_median" >&2
  printf '  %-52s %8.3f s %8.3f s\n' "  against" "$b_least" "$b_median" >&2
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
# per_item_ratio T1 N1 T2 N2: (T1 / N1) / (T2 / N2)
per_item_ratio() { awk -v t1="$1" -v n1="$2" -v t2="$3" -v n2="$4" 'BEGIN { printf "%.2f", (t1 / n1) / (t2 / n2) }'; }

rows=()
# goal NAME VALUE LIMIT
goal() {
  local met
  met=$(awk -v v="$2" -v l="$3" 'BEGIN { print (v <= l) ? "met" : "MISSED" }')
  rows+=("$(printf '%-58s %8s %8s   %s' "$1" "$2" "<= $3" "$met")")
}

# report_goals: the figures next to their goals and, with a base build, the
# outputs compared; fails when one differs.
report_goals() {
  echo
  printf '%-58s %8s %8s\n' figure value goal
  printf '%s\n' "${rows[@]}"
  if [ -n "$base" ]; then
    echo
    echo "outputs equal to the base build's:${same:- none}"
    [ -z "$differ" ] || { echo "outputs that DIFFER:$differ"; exit 1; }
  fi
}
