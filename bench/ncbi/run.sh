#!/usr/bin/env bash
# Whole-process timings of ncbi-handler, against the stand-in for E-utilities that the tests use
# (tests/ncbi/eutils_standin.py, serving NCBI's recorded answers on a loopback port):
#   1. a PubMed page of 5 rows served from the cache, against molb-handler's page of 5 rows on a
#      local store of COUNT generated objects (the ratio says what an NCBI page costs once seen);
#   2. a record fetched from the stand-in (cache off), against the curl program fetching the same
#      answer from the stand-in (the difference is the handler's own overhead).
# Reports medians and their ratio or difference; asserts nothing. Runs of case 2 are spaced
# beyond the rate limit's window, so that no run waits for its turn.
#
# usage: bench/ncbi/run.sh [BUILD_DIR]      (default: build)
#   COUNT=10000   objects of the molb store     RUNS=21   timed runs per case
set -euo pipefail
export LC_ALL=C # EPOCHREALTIME with a decimal point

now() { echo "${EPOCHREALTIME/./}"; }

build=${1:-build}
ncbi=$build/handlers/ncbi/ncbi-handler
molb=$build/handlers/molb/molb-handler
admin=$build/handlers/molb/molb-admin
reg=$build/tools/dbscout-reg
for program in "$ncbi" "$molb" "$admin" "$reg"; do
  [ -x "$program" ] || { echo "run.sh: $program is missing; build it first" >&2; exit 1; }
done
command -v curl >/dev/null || { echo "run.sh: the curl program is missing" >&2; exit 1; }
count=${COUNT:-10000}
runs=${RUNS:-21}

work=$(mktemp -d /tmp/ncbi-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache DBSCOUT_REGISTRY_DIR=$work/registry
mkdir -p "$work/standin" "$DBSCOUT_REGISTRY_DIR"
exec 3> >(/usr/bin/python3 tests/ncbi/eutils_standin.py tests/fixtures/ncbi "$work/standin")
for _ in $(seq 100); do [ -s "$work/standin/port" ] && break; sleep 0.1; done
base="http://127.0.0.1:$(cat "$work/standin/port")/entrez/eutils/"
key='HKEY_CURRENT_USER\Software\Dbscout\NCBI'
"$reg" add "$key" /v BaseAddress /d "$base" /f >/dev/null

# Median of the whole-process times of running "$@" (microseconds); PAUSE seconds between runs.
median() {
  local times=() start
  for _ in $(seq "$runs"); do
    start=$(now)
    "$@" >/dev/null
    times+=($(($(now) - start)))
    [ -n "${PAUSE:-}" ] && sleep "$PAUSE"
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

"$admin" init bench >/dev/null
"$admin" generate bench --count "$count" >/dev/null
page='ncbi://entrez/pubmed/citation/?start=0&page=5&query=biopython'
"$ncbi" "$page" >/dev/null # into the cache
cached=$(median "$ncbi" "$page")
local_page=$(median "$molb" 'molb://local/bench/dnarna/?start=0&page=5&query=MAIN')
echo "page of 5 from the cache: ${cached} us; molb local page of 5: ${local_page} us;" \
  "ratio $(awk "BEGIN { printf \"%.2f\", $cached / $local_page }")"

"$reg" add "$key" /v RecordCacheHours /t REG_DWORD /d 0 /f >/dev/null
fetch='ncbi://entrez/nucleotide/dnarna/NT_019265?command=fetch'
handler=$(PAUSE=1.2 median "$ncbi" "$fetch")
plain=$(median curl -s "${base}efetch.fcgi?db=nucleotide&id=NT_019265&rettype=gb&retmode=text&tool=dbscout")
echo "record from the stand-in: ${handler} us; curl alone: ${plain} us;" \
  "handler overhead $(((handler - plain) / 1000)).$(((handler - plain) % 1000 / 100)) ms"
