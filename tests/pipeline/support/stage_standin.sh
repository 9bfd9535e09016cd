#!/bin/sh
# Stand-in for a stage program of the pipeline files (and for listwright) in
# the tests; installed under each stage name. It appends its name and its
# arguments, each in brackets, as one line to $STANDIN_LOG; exits with the
# status N when $STANDIN_FAIL holds "<name>=N"; otherwise copies its input
# (the first argument) to its output (the last argument, or the second for
# addschema given a schema file), saying "<name>: cannot copy <input>" on
# standard error where the copy fails. With $STANDIN_JOIN_SETS set, rawlink
# reads its input as a set file and joins the files it lists.
name=$(basename "$0")
{
  printf '%s' "$name"
  for argument in "$@"; do printf ' [%s]' "$argument"; done
  printf '\n'
} >> "${STANDIN_LOG:-/dev/null}"

for request in $STANDIN_FAIL; do
  case $request in
    "$name="*) exit "${request#*=}" ;;
  esac
done

input=$1
eval "output=\${$#}"
if [ "$name" = addschema ] && [ $# -eq 3 ]; then output=$2; fi

if [ "$name" = rawlink ] && [ -n "$STANDIN_JOIN_SETS" ]; then
  : > "$output" || exit 1
  while IFS= read -r listed; do
    cat -- "$listed" >> "$output" || exit 1
  done < "$input"
  exit 0
fi
cat -- "$input" > "$output" 2> /dev/null
status=$?
[ $status -eq 0 ] || printf '%s: cannot copy %s\n' "$name" "$input" >&2
exit $status
