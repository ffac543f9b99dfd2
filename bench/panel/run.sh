#!/usr/bin/env bash
# Go to a filled list of 100 rows through the panel and the real molb handler on a store of
# generated objects, against the handler run alone for the same URL. Reports medians of two
# moments (rows in place, list painted) and their ratios to the handler alone; asserts nothing.
#
# usage: bench/panel/run.sh [BUILD_DIR]    COUNT=1000000 objects, RUNS=21 timed runs
#   BENCH_DIR=...   where the store goes (default: a new folder, removed afterwards; an existing
#                   store of the right size there is reused, as bench/molb/run.sh leaves one)
set -euo pipefail
build=${1:-build}
count=${COUNT:-1000000}
runs=${RUNS:-21}
for program in "$build/handlers/molb/molb-admin" "$build/handlers/molb/molb-handler" \
               "$build/bench/panel/bench_browse"; do
  [ -x "$program" ] || { echo "run.sh: $program is missing; build it first" >&2; exit 1; }
done
work=$(mktemp -d /tmp/dbscout-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=${BENCH_DIR:-$work/data} DBSCOUT_REGISTRY_DIR=$work/registry
export XDG_CONFIG_HOME=$work/config
mkdir -p "$DBSCOUT_REGISTRY_DIR"

store=$XDG_DATA_HOME/molb/bench.sqlite
if [ ! -f "$store" ] ||
   [ "$(sqlite3 "$store" 'SELECT object_count FROM kinds WHERE kind = 1')" != "$count" ]; then
  rm -f "$store" "$store-wal" "$store-shm"
  "$build/handlers/molb/molb-admin" init bench >/dev/null
  "$build/handlers/molb/molb-admin" generate bench --count "$count" --kind dnarna >/dev/null
fi
DBSCOUT_REG="$build/tools/dbscout-reg" ./scripts/register-handler "$PWD/$build/handlers/molb/molb-handler" >/dev/null
# The panel reports a scheme without a handler in a message box; nothing here serves ncbi.
"$build/tools/dbscout-reg" add 'HKCR\ncbi\shell\dir\command' /ve /d '"/bin/false" "%1"' /f >/dev/null
echo "store: $count generated objects"
"$build/bench/panel/bench_browse" "molb://local/bench/dnarna/" "$runs"
