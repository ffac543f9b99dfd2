# What the benches of the web handlers (bench/ncbi, bench/ebi) share: sourced by their run.sh
# after set -euo pipefail. Whole-process times in microseconds, medians of runs.

# bench_programs BUILD PROGRAM...: names the molb programs of BUILD (molb, admin) and the settings
# tool (reg), reads COUNT (objects of the molb store), RUNS (timed runs a case) and DEEP_RUNS
# (cold runs of a far page), and fails unless every program is built and sqlite3 is at hand.
bench_programs() {
  molb=$1/handlers/molb/molb-handler
  admin=$1/handlers/molb/molb-admin
  reg=$1/tools/dbscout-reg
  count=${COUNT:-10000}
  runs=${RUNS:-21}
  deep_runs=${DEEP_RUNS:-3}
  local program
  for program in "$molb" "$admin" "$reg" "${@:2}"; do
    [ -x "$program" ] || { echo "run.sh: $program is missing; build it first" >&2; exit 1; }
  done
  command -v sqlite3 >/dev/null || { echo "run.sh: the sqlite3 program is missing" >&2; exit 1; }
}

# start_standin NAME SCRIPT FIXTURES SETTING PATH FILES: a world of the bench's own in $work
# (settings store, data and cache folders, removed at the end) and the stand-in SCRIPT that the
# tests use, serving FIXTURES on a loopback port until the bench ends, its address with PATH
# (base) stored as the handler's SETTING. Sets work, base, the handler's answer cache (cache,
# FILES-answers.sqlite) and the stand-in's notes: arrivals (a line a request as it arrives) and
# served (a line a request once answered).
start_standin() {
  work=$(mktemp -d "/tmp/$1-bench.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  export XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache DBSCOUT_REGISTRY_DIR=$work/registry
  mkdir -p "$work/standin" "$DBSCOUT_REGISTRY_DIR"
  exec 3> >(/usr/bin/python3 "$2" "$3" "$work/standin")
  for _ in $(seq 100); do [ -s "$work/standin/port" ] && break; sleep 0.1; done
  base="http://127.0.0.1:$(cat "$work/standin/port")/$5"
  "$reg" add "HKEY_CURRENT_USER\\Software\\Dbscout\\${1^^}" /v "$4" /d "$base" /f >/dev/null
  cache=$XDG_CACHE_HOME/dbscout/$6-answers.sqlite
  arrivals=$work/standin/arrivals
  served=$work/standin/served
}

# The median of the numbers on standard input.
median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }
# Whole-process microseconds of running "$@".
timed() {
  local start=${EPOCHREALTIME/./}
  "$@" >/dev/null
  echo $((${EPOCHREALTIME/./} - start))
}
# The whole-process times of runs runs of "$@", one a line.
times() { for _ in $(seq "$runs"); do timed "$@"; done; }
# The median of column $1 of the rounds file.
column() { cut -d' ' -f"$1" "$rounds" | median; }

# cached_against_local HANDLER PAGE LABEL: PAGE served by HANDLER from its cache, against
# molb-handler's page of 5 rows on a local store of count generated objects (target: 1.2 or less).
cached_against_local() {
  local cached local_page
  "$admin" init bench >/dev/null
  "$admin" generate bench --count "$count" >/dev/null
  "$1" "$2" >/dev/null # into the cache
  cached=$(times "$1" "$2" | median)
  local_page=$(times "$molb" 'molb://local/bench/dnarna/?start=0&page=5&query=MAIN' | median)
  echo "$3: ${cached} us; molb local page of 5: ${local_page} us;" \
    "ratio $(awk "BEGIN { printf \"%.2f\", $cached / $local_page }") (target: 1.2 or less)"
}

# The most of the last N arrivals that came within any one second.
busiest_second() {
  tail -n "$1" "$arrivals" | awk '{ print $1 }' | sort -n |
    awk '{ t[NR] = $1 } END { most = 0; first = 1
           for (i = 1; i <= NR; i++) { while (t[i] - t[first] >= 1.0) first++; if (i - first + 1 > most) most = i - first + 1 }
           print most }'
}
# "REQUESTS TIME_US BUSIEST_SECOND" of running HANDLER ($1) on URL ($2): the requests are the
# stand-in's arrivals during the run.
measured() {
  local before after start time
  before=$(wc -l <"$arrivals" 2>/dev/null || echo 0)
  start=${EPOCHREALTIME/./}
  "$1" "$2" >/dev/null
  time=$((${EPOCHREALTIME/./} - start))
  after=$(wc -l <"$arrivals")
  echo "$((after - before)) $time $(busiest_second $((after - before)))"
}
# cold_median HANDLER URL: the median by time of deep_runs cold runs of measured, each with the
# cache removed and past the rate limit's window.
cold_median() {
  : >"$work/cold"
  for _ in $(seq "$deep_runs"); do
    rm -f "$cache"
    sleep 1.2
    measured "$1" "$2" >>"$work/cold"
  done
  sort -k2,2n "$work/cold" | sed -n "$(((deep_runs + 1) / 2))p"
}
# far_page HANDLER URL NEXT_URL: the far page URL cold (cold_median), warm (the same page again)
# and the page after it (NEXT_URL), each told as "cold|warm|the next page N requests in T ms" in
# cold, warm and next; the most requests of the cold run in any one second in cold_busiest.
far_page() {
  local requests time
  read -r requests time cold_busiest <<<"$(cold_median "$1" "$2")"
  cold="cold $requests requests in $((time / 1000)) ms"
  read -r requests time _ <<<"$(measured "$1" "$2")"
  warm="warm $requests requests in $((time / 1000)) ms"
  read -r requests time _ <<<"$(measured "$1" "$3")"
  next="the next page $requests requests in $((time / 1000)) ms"
}
