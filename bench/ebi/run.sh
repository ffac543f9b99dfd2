#!/usr/bin/env bash
# Whole-process timings of ebi-handler, against the UniProt and ENA stand-in that the tests use
# (tests/ebi/ebi_standin.py, serving real entries on a loopback port):
#   1. a UniProtKB page of 5 rows served from the cache, against molb-handler's page of 5 rows on
#      a local store of COUNT generated objects (target: 1.2 or less);
#   2. the same page as a first visit (the cache emptied before each run: one search request,
#      its answer stored), against the stand-in's own answer time as a plain client sees it (the
#      curl program fetching the same search, right after the handler in each round). The
#      difference is the handler's overhead (settings, cache, rate limit, reading the table,
#      writing the page; target: under 5 ms). The stand-in's time inside itself is shown too.
#   3. the page of 100 at start 10,000 of the stand-in's search of 60,010 entries ("synthetic OR
#      human"), which UniProt pages by cursor: cold (the cache emptied), warm (the same page again)
#      and the next page, each with its requests and time.
# Reports medians; asserts nothing.
#
# usage: bench/ebi/run.sh [BUILD_DIR]      (default: build)
#   COUNT=10000   objects of the molb store     RUNS=21   timed runs of cases 1 and 2
#   DEEP_RUNS=3   cold runs of case 3
set -euo pipefail
export LC_ALL=C # EPOCHREALTIME with a decimal point

build=${1:-build}
ebi=$build/handlers/ebi/ebi-handler
molb=$build/handlers/molb/molb-handler
admin=$build/handlers/molb/molb-admin
reg=$build/tools/dbscout-reg
for program in "$ebi" "$molb" "$admin" "$reg"; do
  [ -x "$program" ] || { echo "run.sh: $program is missing; build it first" >&2; exit 1; }
done
command -v sqlite3 >/dev/null || { echo "run.sh: the sqlite3 program is missing" >&2; exit 1; }
count=${COUNT:-10000}
runs=${RUNS:-21}

work=$(mktemp -d /tmp/ebi-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache DBSCOUT_REGISTRY_DIR=$work/registry
mkdir -p "$work/standin" "$DBSCOUT_REGISTRY_DIR"
exec 3> >(/usr/bin/python3 tests/ebi/ebi_standin.py tests/fixtures/ebi "$work/standin")
for _ in $(seq 100); do [ -s "$work/standin/port" ] && break; sleep 0.1; done
base="http://127.0.0.1:$(cat "$work/standin/port")/"
"$reg" add 'HKEY_CURRENT_USER\Software\Dbscout\EBI' /v UniProtAddress /d "$base" /f >/dev/null

median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }
# Whole-process microseconds of running "$@".
timed() {
  local start=${EPOCHREALTIME/./}
  "$@" >/dev/null
  echo $((${EPOCHREALTIME/./} - start))
}
times() { for _ in $(seq "$runs"); do timed "$@"; done; }

"$admin" init bench >/dev/null
"$admin" generate bench --count "$count" >/dev/null
page='ebi://uniprotkb/protein/?start=0&page=5&query=human'
"$ebi" "$page" >/dev/null # into the cache
cached=$(times "$ebi" "$page" | median)
local_page=$(times "$molb" 'molb://local/bench/dnarna/?start=0&page=5&query=MAIN' | median)
echo "UniProtKB page of 5 from the cache: ${cached} us; molb local page of 5: ${local_page} us;" \
  "ratio $(awk "BEGIN { printf \"%.2f\", $cached / $local_page }") (target: 1.2 or less)"

cache=$XDG_CACHE_HOME/dbscout/uniprot-answers.sqlite
served=$work/standin/served
search="${base}uniprotkb/search?query=human&format=tsv&fields=accession,id,protein_name,organism_name,length,date_modified&size=500"
rounds=$work/rounds
for _ in $(seq "$runs"); do
  sqlite3 "$cache" 'DELETE FROM answers'
  rm -f "$served"
  handler=$(timed "$ebi" "$page")
  for _ in $(seq 100); do [ -s "$served" ] && break; sleep 0.01; done
  inside=$(awk '{ printf "%d", $1 * 1e6 }' "$served")
  plain=$(timed curl -s "$search")
  echo "$handler $plain $((handler - plain)) $inside"
done >"$rounds"
column() { cut -d' ' -f"$1" "$rounds" | median; }
echo "UniProtKB page of 5, a first visit (one request, its answer stored): $(column 1) us;" \
  "the stand-in's own answer time, as the curl program fetching the same search takes it:" \
  "$(column 2) us; handler overhead $(awk "BEGIN { printf \"%.1f\", $(column 3) / 1000 }") ms" \
  "(target: under 5 ms; the stand-in's time inside itself: $(column 4) us)"

arrivals=$work/standin/arrivals
deep='ebi://uniprotkb/protein/?start=10000&page=100&query=synthetic%20OR%20human'
next_page='ebi://uniprotkb/protein/?start=10100&page=100&query=synthetic%20OR%20human'
# "REQUESTS TIME_US" of running the handler on "$1".
measured() {
  local before after start time
  before=$(wc -l <"$arrivals" 2>/dev/null || echo 0)
  start=${EPOCHREALTIME/./}
  "$ebi" "$1" >/dev/null
  time=$((${EPOCHREALTIME/./} - start))
  after=$(wc -l <"$arrivals")
  echo "$((after - before)) $time"
}
deep_runs=${DEEP_RUNS:-3}
: >"$work/cold"
for _ in $(seq "$deep_runs"); do
  rm -f "$cache"
  sleep 1.2
  measured "$deep" >>"$work/cold"
done
read -r cold_requests cold_time < <(sort -k2,2n "$work/cold" | sed -n "$(((deep_runs + 1) / 2))p")
read -r warm_requests warm_time <<<"$(measured "$deep")"
read -r next_requests next_time <<<"$(measured "$next_page")"
echo "page of 100 at start 10,000 of a 60,010-entry UniProtKB search (paged by cursor):" \
  "cold $cold_requests requests in $((cold_time / 1000)) ms (median of $deep_runs);" \
  "warm $warm_requests requests in $((warm_time / 1000)) ms;" \
  "the next page $next_requests requests in $((next_time / 1000)) ms"
