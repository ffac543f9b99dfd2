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

source "$(dirname "$0")/../lib/web_handler.sh"

build=${1:-build}
ebi=$build/handlers/ebi/ebi-handler
bench_programs "$build" "$ebi"
start_standin ebi tests/ebi/ebi_standin.py tests/fixtures/ebi UniProtAddress "" uniprot

page='ebi://uniprotkb/protein/?start=0&page=5&query=human'
cached_against_local "$ebi" "$page" "UniProtKB page of 5 from the cache"

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
echo "UniProtKB page of 5, a first visit (one request, its answer stored): $(column 1) us;" \
  "the stand-in's own answer time, as the curl program fetching the same search takes it:" \
  "$(column 2) us; handler overhead $(awk "BEGIN { printf \"%.1f\", $(column 3) / 1000 }") ms" \
  "(target: under 5 ms; the stand-in's time inside itself: $(column 4) us)"

far_page "$ebi" 'ebi://uniprotkb/protein/?start=10000&page=100&query=synthetic%20OR%20human' \
  'ebi://uniprotkb/protein/?start=10100&page=100&query=synthetic%20OR%20human'
echo "page of 100 at start 10,000 of a 60,010-entry UniProtKB search (paged by cursor):" \
  "$cold (median of $deep_runs); $warm; $next"
