#!/usr/bin/env bash
# Whole-process timings of molb-handler on a store of generated objects, each against the sqlite3
# program running the plain SQL that a straightforward handler would run on the same file for the
# same page: count(*) of what is listed, then the page's rows in the same order with LIMIT/OFFSET.
# Reports medians and their ratios; asserts nothing.
#
# usage: bench/molb/run.sh [BUILD_DIR]      (default: build)
#   COUNT=1000000   objects to generate       RUNS=31   timed runs per case
#   BENCH_DIR=...   where the store goes (default: a new folder under /tmp, removed afterwards;
#                   an existing store of the right size there is reused)
set -euo pipefail
export LC_ALL=C # EPOCHREALTIME with a decimal point

# Microseconds since the epoch, without starting a process.
now() { echo "${EPOCHREALTIME/./}"; }

. "$(dirname "$0")/bench-setup.sh"
molb_bench_setup run.sh "${1:-build}"
command -v sqlite3 >/dev/null || { echo "run.sh: the sqlite3 program is missing" >&2; exit 1; }

count=${COUNT:-1000000}
runs=${RUNS:-31}
store=$XDG_DATA_HOME/molb/bench.sqlite

if [ ! -f "$store" ] || [ "$(sqlite3 "$store" 'SELECT object_count FROM kinds WHERE kind = 1')" != "$count" ]; then
  rm -f "$store" "$store-wal" "$store-shm"
  "$admin" init bench >/dev/null
  start=$(now)
  "$admin" generate bench --count "$count" >/dev/null
  echo "generate $count objects: $((($(now) - start) / 1000)) ms"
  # A subset of every hundredth object.
  mapfile -t ids < <(seq 1 100 "$count")
  "$admin" subset add bench every100 --kind dnarna "${ids[@]}" >/dev/null
fi
deep=$((count - 100))
word=kinase

columns="o.id, o.name, o.accession, o.length, o.topology, o.organism, o.description, o.modified, o.owner, o.grp, o.mode, o.checkout_by"
declare -A url sql
url[first]="molb://local/bench/dnarna/?start=0&page=100&query=MAIN"
sql[first]="SELECT count(*) FROM objects WHERE kind = 1; SELECT $columns FROM objects o WHERE o.kind = 1 ORDER BY o.pos LIMIT 100;"
url[deep]="molb://local/bench/dnarna/?start=$deep&page=100&query=MAIN"
sql[deep]="SELECT count(*) FROM objects WHERE kind = 1; SELECT $columns FROM objects o WHERE o.kind = 1 ORDER BY o.pos LIMIT 100 OFFSET $deep;"
url[subset]="molb://local/bench/dnarna/?start=0&page=100&query=every100"
sql[subset]="SELECT count(*) FROM subset_members m JOIN subsets s ON s.id = m.subset_id WHERE s.kind = 1 AND s.name = 'every100'; SELECT $columns FROM subsets s JOIN subset_members m ON m.subset_id = s.id JOIN objects o ON o.id = m.object_id WHERE s.kind = 1 AND s.name = 'every100' ORDER BY m.position LIMIT 100;"
url[search]="molb://local/bench/dnarna/?start=0&page=100&query=$word"
fts=objects_fts_dnarna
sql[search]="SELECT count(*) FROM $fts WHERE $fts MATCH '$word'; SELECT $columns FROM $fts JOIN objects o ON o.id = $fts.rowid WHERE $fts MATCH '$word' ORDER BY $fts.rowid LIMIT 100;"

# Median wall time in microseconds of RUNS runs of a command (after one warm-up run).
median() {
  "$@" >/dev/null
  local times=() start
  for ((i = 0; i < runs; i++)); do
    start=${EPOCHREALTIME/./}
    "$@" >/dev/null
    times+=($((${EPOCHREALTIME/./} - start)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

# The handler must answer each case with a full page before its time means anything.
for name in first deep subset search; do
  rows=$("$handler" "${url[$name]}" | grep -c '<tr><td>' || true)
  [ "$rows" -eq 100 ] || { echo "run.sh: $name gave $rows rows, not 100" >&2; exit 1; }
done

printf '%-8s %12s %12s %8s\n' case handler_us sqlite3_us ratio
declare -A handlerTime
for name in first deep subset search; do
  h=$(median "$handler" "${url[$name]}")
  s=$(median sqlite3 "$store" "${sql[$name]}")
  handlerTime[$name]=$h
  awk -v n="$name" -v h="$h" -v s="$s" 'BEGIN { printf "%-8s %12d %12d %8.2f\n", n, h, s, h / s }'
done
awk -v d="${handlerTime[deep]}" -v f="${handlerTime[first]}" \
  'BEGIN { printf "deep page / first page (handler): %.2f\n", d / f }'
