#!/usr/bin/env bash
# Times bench_parse against xmllint --noout on the same generated pages and prints the ratio of
# the median times (above 1: ours is faster). Usage: bench/document/run.sh [build folder]
set -euo pipefail
build=${1:-build}
bin=$build/bench/document/bench_parse
runs=${RUNS:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bin" --write-rows 120 "$work/page-120.xml"
"$bin" --write-bytes $((50 << 20)) "$work/page-50mb.xml"

# Median wall time in milliseconds of running the given command $runs times.
median_ms() {
  local times=() start end
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "%.1f", t[int((NR + 1) / 2)] / 1000 }'
}

# The small page is parsed 100 times per process (xmllint --repeat does the same), so that
# process start-up does not hide the parse.
compare() {
  local name=$1 ours theirs
  shift
  ours=$(median_ms "$bin" --parse "$@")
  if [ "$name" = "120 rows x100" ]; then
    theirs=$(median_ms xmllint --noout --repeat "$1")
  else
    theirs=$(median_ms xmllint --noout "$1")
  fi
  awk -v n="$name" -v o="$ours" -v t="$theirs" \
    'BEGIN { printf "%-14s bench_parse %8.1f ms   xmllint %8.1f ms   ratio %.2f\n", n, o, t, t / o }'
}

echo "median of $runs runs each"
compare "120 rows x100" "$work/page-120.xml" 100
compare "50 MB" "$work/page-50mb.xml"
echo
"$bin" --benchmark_counters_tabular=true
