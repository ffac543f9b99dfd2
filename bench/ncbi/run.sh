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
#   4. a batch copy of 500 records (the stand-in's synthetic nucleotide records), as
#      molbench-demo makes it from a multi-selection with "cc: to Local DB" checked: the example
#      host's batch code (bench_batch_copy) fetches them through ncbi-handler in runs of 200 and
#      saves them into a fresh local store in one batch save of molb-handler (docs/protocol.md,
#      "Saving many objects at once"), logged in as a user as the demo's source is. Cold (the cache
#      emptied) and warm: NCBI requests, the most in any one second, and the time; the store's
#      time is the warm copy's less the warm open of the same selection (fetching and matching
#      alone), set against `molb-admin import` of the same 500 records into a fresh store, each
#      the median of BATCH_RUNS runs (targets: at most 10 requests, within 3 a second, the
#      store's time at most 2 times the import's).
# Reports medians and the targets; asserts nothing. Runs of case 2 are spaced beyond the rate
# limit's window, so that no run waits for its turn.
#
# usage: bench/ncbi/run.sh [BUILD_DIR]      (default: build)
#   COUNT=10000   objects of the molb store     RUNS=21   timed runs of cases 1 and 2
#   DEEP_RUNS=3   cold runs of case 3           BATCH_RUNS=5   warm runs of case 4
set -euo pipefail
export LC_ALL=C # EPOCHREALTIME with a decimal point

source "$(dirname "$0")/../lib/web_handler.sh"

build=${1:-build}
ncbi=$build/handlers/ncbi/ncbi-handler
batch=$build/bench/ncbi/bench_batch_copy
bench_programs "$build" "$ncbi" "$batch"
start_standin ncbi tests/ncbi/eutils_standin.py tests/fixtures/ncbi BaseAddress entrez/eutils/ ncbi

page='ncbi://entrez/pubmed/citation/?start=0&page=5&query=biopython'
cached_against_local "$ncbi" "$page" "page of 5 from the cache"

search="${base}esearch.fcgi?db=pubmed&term=biopython&usehistory=y&retmax=1&tool=dbscout"
summaries="${base}esummary.fcgi?db=pubmed&retmode=xml&id=16403221,16377612,14871861,14630660,12230038&tool=dbscout"
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
echo "page of 5 from the stand-in (a first visit: two requests, both answers stored): $(column 1) us;" \
  "the stand-in's own answer time, as the curl program fetching the same two answers takes it:" \
  "$(column 2) us; handler overhead $(awk "BEGIN { printf \"%.1f\", $(column 3) / 1000 }") ms" \
  "(target: under 5 ms)"
echo "(the stand-in's time inside itself for the two requests: $(column 4) us; the rest of the" \
  "curl program's time is a process that loads libcurl and its libraries, which the handler pays too)"

# Case 3. The requests a run made are the stand-in's arrivals during it.
far_page "$ncbi" 'ncbi://entrez/pubmed/citation/?start=500000&page=100&query=cancer' \
  'ncbi://entrez/pubmed/citation/?start=500100&page=100&query=cancer'
echo "page of 100 at start 500,000 of a 1,000,000-record PubMed search, without an API key:" \
  "$cold, at most $cold_busiest in any second (median of $deep_runs); $warm;" \
  "$next (targets: at most 40 cold, at most 3 warm, at most 3 a second)"

# Case 4. The handlers registered and a data source that saves into the local store, as
# scripts/run-demo makes them; the copies go to its subset "From NCBI".
DBSCOUT_REG="$reg" ./scripts/register-handler "$molb" >/dev/null
DBSCOUT_REG="$reg" ./scripts/register-handler "$ncbi" >/dev/null
cat >"$work/source.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\KORVALE, INC\MOLB 10\Data Sources\MolbLight\sources\Bench]
"Name"="Bench store"
"Address"="molb://local/batchcopy/"
"DnaRna"=dword:00000001
"Visible1"=dword:00000001
"Visible2"=dword:00000001
"CanOpen"=dword:00000001
"CanSave"=dword:00000001
"HasLogin"=dword:00000001
"User"="bench"
"Password"="bench"
"FlagA"=dword:00000001
REG
"$reg" import "$work/source.reg" >/dev/null
# A store made afresh under name, with the user bench.
fresh_store() {
  rm -f "$XDG_DATA_HOME/molb/$1.sqlite"
  "$admin" init "$1" >/dev/null
  echo bench | "$admin" user add "$1" bench >/dev/null
}
ids=$(for i in $(seq 500); do printf 'ZZ_%06d%%2e1,' "$i"; done)
selection="ncbi://entrez/nucleotide/dnarna/${ids%,}?query=synthetic&command=fetch"
# "REQUESTS BUSIEST_SECOND SUMMARY... MILLISECONDS" of bench_batch_copy "$@".
batch_run() {
  local before after result
  before=$(wc -l <"$arrivals")
  result=$(QT_QPA_PLATFORM=offscreen "$batch" "$@" 2>/dev/null)
  after=$(wc -l <"$arrivals")
  echo "$((after - before)) $(busiest_second $((after - before))) $result"
}
rm -f "$cache"
sleep 1.2
fresh_store batchcopy
cold=$(batch_run "$selection" copy "$work/records.gb")
# Warm copies, warm opens and imports in turn, batch_runs of each: the machine's other work
# moves single runs by tens of milliseconds, so the figures are medians.
batch_runs=${BATCH_RUNS:-5}
: >"$work/store_ms"
: >"$work/import_ms"
for _ in $(seq "$batch_runs"); do
  fresh_store batchcopy
  warm=$(batch_run "$selection" copy)
  open_only=$(batch_run "$selection" open)
  echo $((${warm##* } - ${open_only##* })) >>"$work/store_ms"
  fresh_store batchimport
  start=${EPOCHREALTIME/./}
  "$admin" import batchimport --owner bench "$work/records.gb" >/dev/null
  echo $(((${EPOCHREALTIME/./} - start) / 1000)) >>"$work/import_ms"
done
batch_median() { sort -n "$1" | sed -n "$(((batch_runs + 1) / 2))p"; }
store_ms=$(batch_median "$work/store_ms")
import_ms=$(batch_median "$work/import_ms")
read -r cold_requests cold_busiest _ <<<"$cold"
read -r warm_requests _ _ <<<"$warm"
cold_ms=${cold##* } warm_ms=${warm##* } open_ms=${open_only##* }
summary=$(echo "$warm" | cut -d' ' -f3- | sed 's/ [0-9]*$//')
echo "batch copy of 500 records into the local store ($summary): cold $cold_requests NCBI" \
  "requests, at most $cold_busiest in any second, in $cold_ms ms; warm $warm_requests requests" \
  "in $warm_ms ms; the store's time (a warm copy less a warm open of the same selection)" \
  "$store_ms ms; molb-admin import of the same records $import_ms ms (medians of $batch_runs);" \
  "ratio $(awk "BEGIN { printf \"%.1f\", $store_ms / $import_ms }")" \
  "(targets: at most 10 requests, at most 3 a second, ratio at most 2)"
