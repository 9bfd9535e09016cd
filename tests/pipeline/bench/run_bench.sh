#!/usr/bin/env bash
# Times ledgerize on generated RSF files and prints, per case, the input and
# listing sizes, the wall time and the peak memory next to the case's goal.
#   run_bench.sh path/to/ledgerize
set -euo pipefail
program=${1:?usage: run_bench.sh path/to/ledgerize}
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

printf '%-28s %10s %12s %9s %9s  %s\n' case input_MB listing_MB seconds peak_MB goal
run() {
  local name=$1 goal=$2
  /usr/bin/time -f '%e %M' -o "$work/time" "$program" "$work/in.rsf" "$work/out.tabula" \
    > "$work/out" 2>&1 || { cat "$work/out" >&2; exit 1; }
  read -r seconds peak_kb < "$work/time"
  printf '%-28s %10s %12s %9s %9s  %s\n' "$name" \
    "$(mb "$(stat -c %s "$work/in.rsf")")" "$(mb "$(stat -c %s "$work/out.tabula")")" \
    "$seconds" "$(awk -v k="$peak_kb" 'BEGIN { printf "%.1f", k / 1024 }')" "$goal"
}

chain 10000 > "$work/in.rsf"
run "chain 10,000 deep" "peak under 64 MB"
chain 20000 > "$work/in.rsf"
run "chain 20,000 deep" "peak under 64 MB"
tree 33334 > "$work/in.rsf"
run "tree of 100,000 triples" "under 0.5 s"
parents 20000 > "$work/in.rsf"
run "one node under 20,000 parents" "under 0.5 s"
