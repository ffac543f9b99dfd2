#!/usr/bin/env bash
# Builds the minimal host of docs/embedding.md against the installed package, once with
# find_package(Dbscout) and once with pkg-config, and runs both: the page's code blocks are the
# sources, so the documentation cannot drift from the library.
#
# usage: minimal_host_test.sh SOURCE_DIR BUILD_DIR WORK_DIR [COMPILER_FLAGS]
# COMPILER_FLAGS are the sanitizer flags of the build, which a host of a sanitized library needs.
set -euo pipefail
source_dir=$1
build_dir=$2
work=$3
flags=${4:-}
doc="$source_dir/docs/embedding.md"
fail() { echo "minimal_host_test: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/host"
prefix="$work/prefix"
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

# The fenced block that follows the marker line "<!-- minimal-host: NAME -->".
extract() {
  awk -v marker="<!-- minimal-host: $1 -->" '
    $0 == marker { armed = 1; next }
    armed && /^```/ { if (inside) exit; inside = 1; next }
    inside { print }' "$doc"
}
for file in CMakeLists.txt main.cpp; do
  extract "$file" > "$work/host/$file"
  [ -s "$work/host/$file" ] || fail "no block marked minimal-host: $file in $doc"
done

cmake -S "$work/host" -B "$work/cmake-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null ||
  fail "configuring the minimal host with find_package(Dbscout) failed"
cmake --build "$work/cmake-build" >/dev/null || fail "building the minimal host with CMake failed"

pc=$(dirname "$(find "$prefix" -name dbscout.pc | head -n 1)")
[ -n "$pc" ] || fail "the installed package has no dbscout.pc"
# shellcheck disable=SC2046 # pkg-config's words are separate arguments
c++ -std=c++20 -fPIC $flags "$work/host/main.cpp" \
  $(PKG_CONFIG_PATH="$pc" pkg-config --cflags --libs dbscout) \
  -Wl,-rpath,"$(PKG_CONFIG_PATH="$pc" pkg-config --variable=libdir dbscout)" \
  -o "$work/minimal-host-pc" || fail "building the minimal host with pkg-config failed"

# Each must use the installed library and still be running, window up, after a few seconds.
for host in "$work/cmake-build/minimal-host" "$work/minimal-host-pc"; do
  ldd "$host" | grep -q "$prefix/.*libdbscout.so" || fail "$host does not load the installed library"
  status=0
  DBSCOUT_REGISTRY_DIR="$work/registry" QT_QPA_PLATFORM=offscreen timeout 5 "$host" || status=$?
  [ "$status" -eq 124 ] || fail "$host ended with status $status instead of running"
done
echo "minimal_host_test: the documented host builds with find_package and pkg-config, and runs"
