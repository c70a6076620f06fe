#!/usr/bin/env bash
# The win32 and win64 trees' e2e results side by side: in every scenario both
# ran, the same bytes on the wire, the same port accesses, and the same
# display RAM and panel image at every snapshot.
#   trees_agree.sh WIN32_RESULTS WIN64_RESULTS
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: trees_agree.sh WIN32_RESULTS WIN64_RESULTS" >&2; exit 2; }
first=$1 second=$2
compared=0 differing=0
for scenario in "$first"/*/; do
  name=$(basename "$scenario")
  [ -f "$scenario/transfers.txt" ] && [ -f "$second/$name/transfers.txt" ] || continue
  compared=$((compared + 1))
  for file in "$scenario"/transfers.txt "$scenario"/ports.txt "$scenario"/*.ram "$scenario"/*.pbm; do
    [ -e "$file" ] || continue
    other=$second/$name/$(basename "$file")
    if ! cmp -s "$file" "$other"; then
      echo "differs: $name/$(basename "$file")"
      differing=$((differing + 1))
    fi
  done
done
if [ "$compared" -eq 0 ]; then
  echo "no scenario ran on both trees: nothing compared" >&2
  exit 1
fi
echo "trees agree: $compared scenario(s) compared, $differing file(s) differ"
[ "$differing" -eq 0 ]
