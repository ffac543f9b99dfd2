#!/usr/bin/env bash
# Whole-process timings of ncbi-handler, against the stand-in for E-utilities that the tests use
# (tests/ncbi/eutils_standin.py, serving NCBI's recorded answers on a loopback port):
#   1. a PubMed page of 5 rows served from the cache, against molb-handler's page of 5 rows on a
#      local store of COUNT generated objects: the ratio says what an NCBI page costs once seen
#      (target: 1.2 or less);
#   2. the same page served from the stand-in, as a first visit (the cache emptied before each
#      run, so that each run asks a search and the summaries and stores both), against the
#      stand-in's own answer time for those two requests as a plain client sees it: the curl
#      program fetching the same search and the summaries of the same five records (by their
#      ids, as the handler's own request names them by the search's set), run right after the
#      handler in each round. The difference is the handler's overhead (settings, cache, rate
#      limit, reading the answers, writing the page; target: under 5 ms). The stand-in's time
#      inside itself is shown too.
#   3. the page of 100 at start 500,000 of the stand-in's synthetic PubMed search of a million
#      records ("cancer"), without an API key: cold (the cache emptied), warm (the same page
#      again) and the next page, each with its requests, its time, and the most requests that
#      arrived within any one second (targets: at most 40 requests cold, at most 3 warm, at most
#      3 a second).
# Reports medians and the targets; asserts nothing. Runs of case 2 are spaced beyond the rate
# limit's window, so that no run waits for its turn.
#
# usage: bench/ncbi/run.sh [BUILD_DIR]      (default: build)
#   COUNT=10000   objects of the molb store     RUNS=21   timed runs of cases 1 and 2
#   DEEP_RUNS=3   cold runs of case 3
set -euo pipefail
export LC_ALL=C # EPOCHREALTIME with a decimal point

build=${1:-build}
ncbi=$build/handlers/ncbi/ncbi-handler
molb=$build/handlers/molb/molb-handler
admin=$build/handlers/molb/molb-admin
reg=$build/tools/dbscout-reg
for program in "$ncbi" "$molb" "$admin" "$reg"; do
  [ -x "$program" ] || { echo "run.sh: $program is missing; build it first" >&2; exit 1; }
done
command -v sqlite3 >/dev/null || { echo "run.sh: the sqlite3 program is missing" >&2; exit 1; }
count=${COUNT:-10000}
runs=${RUNS:-21}

work=$(mktemp -d /tmp/ncbi-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache DBSCOUT_REGISTRY_DIR=$work/registry
mkdir -p "$work/standin" "$DBSCOUT_REGISTRY_DIR"
exec 3> >(/usr/bin/python3 tests/ncbi/eutils_standin.py tests/fixtures/ncbi "$work/standin")
for _ in $(seq 100); do [ -s "$work/standin/port" ] && break; sleep 0.1; done
base="http://127.0.0.1:$(cat "$work/standin/port")/entrez/eutils/"
"$reg" add 'HKEY_CURRENT_USER\Software\Dbscout\NCBI' /v BaseAddress /d "$base" /f >/dev/null

# The median of the numbers on standard input.
median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }

# The whole-process times of running "$@" (microseconds), one a line.
times() {
  local start end
  for _ in $(seq "$runs"); do
    start=${EPOCHREALTIME/./}
    "$@" >/dev/null
    end=${EPOCHREALTIME/./}
    echo $((end - start))
  done
}

"$admin" init bench >/dev/null
"$admin" generate bench --count "$count" >/dev/null
page='ncbi://entrez/pubmed/citation/?start=0&page=5&query=biopython'
"$ncbi" "$page" >/dev/null # into the cache
cached=$(times "$ncbi" "$page" | median)
local_page=$(times "$molb" 'molb://local/bench/dnarna/?start=0&page=5&query=MAIN' | median)
echo "page of 5 from the cache: ${cached} us; molb local page of 5: ${local_page} us;" \
  "ratio $(awk "BEGIN { printf \"%.2f\", $cached / $local_page }") (target: 1.2 or less)"

cache=$XDG_CACHE_HOME/dbscout/ncbi-answers.sqlite
served=$work/standin/served
search="${base}esearch.fcgi?db=pubmed&term=biopython&usehistory=y&retmax=1&tool=dbscout"
summaries="${base}esummary.fcgi?db=pubmed&retmode=xml&id=16403221,16377612,14871861,14630660,12230038&tool=dbscout"
# Whole-process microseconds of running "$@".
timed() {
  local start=${EPOCHREALTIME/./}
  "$@" >/dev/null
  echo $((${EPOCHREALTIME/./} - start))
}
# The stand-in notes a request's time just after its last byte went out: its total for the two.
standin_time() {
  for _ in $(seq 100); do [ "$(wc -l <"$served" 2>/dev/null || echo 0)" -ge 2 ] && break; sleep 0.01; done
  [ "$(wc -l <"$served")" -eq 2 ] || { echo "run.sh: the page did not ask the stand-in twice" >&2; exit 1; }
  awk '{ sum += $1 } END { printf "%d", sum * 1e6 }' "$served"
}
rounds=$work/rounds
for _ in $(seq "$runs"); do
  sqlite3 "$cache" 'DELETE FROM answers'
  rm -f "$served"
  sleep 1.2
  handler=$(timed "$ncbi" "$page")
  inside=$(standin_time)
  rm -f "$served"
  plain=$(timed curl -s "$search" "$summaries")
  echo "$handler $plain $((handler - plain)) $inside"
done >"$rounds"
column() { cut -d' ' -f"$1" "$rounds" | median; }
echo "page of 5 from the stand-in (a first visit: two requests, both answers stored): $(column 1) us;" \
  "the stand-in's own answer time, as the curl program fetching the same two answers takes it:" \
  "$(column 2) us; handler overhead $(awk "BEGIN { printf \"%.1f\", $(column 3) / 1000 }") ms" \
  "(target: under 5 ms)"
echo "(the stand-in's time inside itself for the two requests: $(column 4) us; the rest of the" \
  "curl program's time is a process that loads libcurl and its libraries, which the handler pays too)"

# Case 3. The requests a run made are the stand-in's arrivals during it.
arrivals=$work/standin/arrivals
deep='ncbi://entrez/pubmed/citation/?start=500000&page=100&query=cancer'
next_page='ncbi://entrez/pubmed/citation/?start=500100&page=100&query=cancer'
# "REQUESTS TIME_US BUSIEST_SECOND" of running the handler on "$1".
measured() {
  local before after start
  before=$(wc -l <"$arrivals")
  start=${EPOCHREALTIME/./}
  "$ncbi" "$1" >/dev/null
  local time=$((${EPOCHREALTIME/./} - start))
  after=$(wc -l <"$arrivals")
  local busiest
  busiest=$(tail -n $((after - before)) "$arrivals" | awk '{ print $1 }' | sort -n |
    awk '{ t[NR] = $1 } END { most = 0; first = 1
           for (i = 1; i <= NR; i++) { while (t[i] - t[first] >= 1.0) first++; if (i - first + 1 > most) most = i - first + 1 }
           print most }')
  echo "$((after - before)) $time $busiest"
}
deep_runs=${DEEP_RUNS:-3}
: >"$work/cold"
for _ in $(seq "$deep_runs"); do
  rm -f "$cache"
  sleep 1.2
  measured "$deep" >>"$work/cold"
done
warm=$(measured "$deep")
neighbour=$(measured "$next_page")
read -r cold_requests cold_time cold_busiest < <(sort -k2,2n "$work/cold" | sed -n "$(((deep_runs + 1) / 2))p")
read -r warm_requests warm_time _ <<<"$warm"
read -r next_requests next_time next_busiest <<<"$neighbour"
echo "page of 100 at start 500,000 of a 1,000,000-record PubMed search, without an API key:" \
  "cold $cold_requests requests in $((cold_time / 1000)) ms, at most $cold_busiest in any second" \
  "(median of $deep_runs); warm $warm_requests requests in $((warm_time / 1000)) ms;" \
  "the next page $next_requests requests in $((next_time / 1000)) ms" \
  "(targets: at most 40 cold, at most 3 warm, at most 3 a second)"
