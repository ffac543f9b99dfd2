# Sourced by the molb benches: the programs they time and the folder of their stores.
# usage: molb_bench_setup SCRIPT_NAME [BUILD_DIR]
#   sets handler and admin (failing when either is not built) and exports XDG_DATA_HOME: BENCH_DIR
#   when set (its stores are kept), else a new folder under /tmp, removed at exit.
molb_bench_setup() {
  local name=$1 build=${2:-build}
  handler=$build/handlers/molb/molb-handler
  admin=$build/handlers/molb/molb-admin
  for program in "$handler" "$admin"; do
    [ -x "$program" ] || { echo "$name: $program is missing; build molb-handler and molb-admin" >&2; exit 1; }
  done
  if [ -n "${BENCH_DIR:-}" ]; then
    export XDG_DATA_HOME=$BENCH_DIR
  else
    XDG_DATA_HOME=$(mktemp -d /tmp/molb-bench.XXXXXX)
    export XDG_DATA_HOME
    trap 'rm -rf "$XDG_DATA_HOME"' EXIT
  fi
}
