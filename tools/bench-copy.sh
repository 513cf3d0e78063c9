#!/usr/bin/env bash
# Builds and runs the copy benchmark under Wine: CopySectionFiles against a
# bare LZOpenFileA/LZCopy/LZClose loop over the same 4 MB of compressed
# files, printing the median times and their ratio.
#   BENCH_BUILD=DIR  build tree (default build/bench)
#   ROUNDS=N         timed rounds (default 21)
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ROOT"

BENCH_BUILD="${BENCH_BUILD:-$ROOT/build/bench}"
ROUNDS="${ROUNDS:-21}"

say "building the benchmark in $BENCH_BUILD"
log="$BENCH_BUILD.log"
{ cmake -S . -B "$BENCH_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" &&
    cmake --build "$BENCH_BUILD" --target copy_bench; } >"$log" 2>&1 ||
  { tail -n 30 "$log"; echo "building the benchmark failed: $log" >&2; exit 1; }

"$ROOT/tools/wine-prefix.sh"
xinfo=""
if [ -z "${DISPLAY:-}" ]; then
  xinfo="$(mktemp /tmp/kelmo-bench-xvfb.XXXXXX)"
  "$ROOT/tools/xvfb.sh" start "$xinfo"
  read -r DISPLAY _ < "$xinfo"; export DISPLAY
  trap '"$WINESERVER_BIN" -k 2>/dev/null; "$ROOT/tools/xvfb.sh" stop "$xinfo"' EXIT
fi

files="$BENCH_BUILD/bench/copy_bench_files"
say "running $ROUNDS rounds"
"$WINE_LOADER" "$BENCH_BUILD/bench/copy_bench.exe" "Z:${files//\//\\}" "$ROUNDS"
