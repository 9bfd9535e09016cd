#!/usr/bin/env bash
# Times ledgerize on generated RSF files and prints, per case, the input and
# listing sizes, the wall time and the peak memory next to the case's goal,
# then the ratios of the largest case. Given a second ledgerize (an earlier
# build), it also requires the same listing from both, byte for byte.
#   run_bench.sh path/to/ledgerize [path/to/base/ledgerize]
set -euo pipefail
program=${1:?usage: run_bench.sh path/to/ledgerize [path/to/base/ledgerize]}
base=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A containment chain n0 > n1 > ... : each level indents its line by four
# more characters, so 10,000 levels make a 200 MB listing.
chain() { awk -v n="$1" 'BEGIN { for (i = 1; i < n; i++) print "contain n" i - 1 " n" i }'; }

# A binary containment tree with an attribute and a call per node: 100,000
# triples, all of them listed in the trees.
tree() {
  awk -v n="$1" 'BEGIN {
    for (i = 1; i < n; i++) print "contain n" int((i - 1) / 2) " n" i
    for (i = 0; i < n; i++) { print "@_id n" i " " i; print "calls n" i " n0" }
  }'
}

# One node under many parents with as many edges of its own: the edges are
# listed under the first parent only.
parents() {
  awk -v n="$1" 'BEGIN {
    for (i = 0; i < n; i++) print "contain p" i " x"
    for (i = 0; i < n; i++) print "e x y" i
  }'
}

mb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1000000 }'; }

# The least wall time of five runs of a command, in seconds.
best_seconds() {
  local best="" seconds
  for _ in 1 2 3 4 5; do
    seconds=$( { TIMEFORMAT=%3R; time "$@" > /dev/null 2>&1; } 2>&1 )
    if [ -z "$best" ] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then
      best=$seconds
    fi
  done
  echo "$best"
}

printf '%-32s %10s %12s %9s %9s  %s\n' case input_MB listing_MB seconds peak_MB goal
# Runs ledgerize on in.rsf and prints its row; leaves the time in $seconds
# and the peak in $peak_kb.
run() {
  local name=$1 goal=$2
  /usr/bin/time -f '%M' -o "$work/time" "$program" "$work/in.rsf" "$work/out.tabula" \
    > "$work/out" 2>&1 || { cat "$work/out" >&2; exit 1; }
  read -r peak_kb < "$work/time"
  seconds=$(best_seconds "$program" "$work/in.rsf" "$work/out.tabula")
  if [ -n "$base" ]; then
    "$base" "$work/in.rsf" "$work/base.tabula" > /dev/null
    cmp -s "$work/out.tabula" "$work/base.tabula" ||
      { echo "$name: the listing differs from the base build's" >&2; exit 1; }
    rm -f "$work/base.tabula"
  fi
  printf '%-32s %10s %12s %9s %9s  %s\n' "$name" \
    "$(mb "$(stat -c %s "$work/in.rsf")")" "$(mb "$(stat -c %s "$work/out.tabula")")" \
    "$seconds" "$(awk -v k="$peak_kb" 'BEGIN { printf "%.1f", k / 1024 }')" "$goal"
}

chain 10000 > "$work/in.rsf"
run "chain 10,000 deep" "peak under 64 MB"
chain 20000 > "$work/in.rsf"
run "chain 20,000 deep" "peak under 64 MB"
tree 33334 > "$work/in.rsf"
run "tree of 100,000 triples" "under 0.5 s"
small_tree=$seconds
parents 20000 > "$work/in.rsf"
run "one node under 20,000 parents" "under 0.5 s"
# Ten times the tree: the time per triple stays that of the small tree, and
# the whole run stays near the time the system's sort takes on the file.
tree 333334 > "$work/in.rsf"
run "tree of 1,000,000 triples" "see the ratios below"
large_tree=$seconds
large_peak_kb=$peak_kb
sort_seconds=$(best_seconds env LC_ALL=C sort "$work/in.rsf" -o "$work/sorted")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf '\n%-44s %7s  %s\n' ratio value goal
printf '%-44s %7s  %s\n' "per triple, 1,000,000 / 100,000 triples" \
  "$(ratio "$large_tree" "$(awk -v s="$small_tree" 'BEGIN { print s * 10 }')")" "at most 1.5"
printf '%-44s %7s  %s\n' "1,000,000 triples / LC_ALL=C sort of them" \
  "$(ratio "$large_tree" "$sort_seconds")" "at most 3"
printf '%-44s %7s  %s\n' "peak memory / input, 1,000,000 triples" \
  "$(ratio "$((large_peak_kb * 1024))" "$(stat -c %s "$work/in.rsf")")" "at most 4"
