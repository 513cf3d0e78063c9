#!/usr/bin/env bash
# Runs every test level: installs what is missing, builds the native, fuzz
# and Windows targets, runs the native tests, a short run of each fuzz target,
# the checks of the shipped setup.exe, and the Win32 and end-to-end tests on
# that very setup.exe under 32-bit Wine with Xvfb as the screen. Ends with
# one summary line.
#   FUZZ_SECONDS=N  seconds per fuzz target (default 10)
set -uo pipefail
source "$(dirname "$0")/../tools/common.sh"
cd "$ROOT"

FUZZ_SECONDS="${FUZZ_SECONDS:-10}"
passed=0
failed=0
report=()

# Adds a ctest run's counts ("N tests failed out of T") to the totals.
count_ctest() {  # name logfile
  local f t
  read -r f t < <(sed -nE 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' "$2" | tail -1)
  [ -n "$t" ] || { failed=$((failed + 1)); report+=("$1: no tests ran"); return; }
  passed=$((passed + t - f)); failed=$((failed + f)); report+=("$1: $((t - f)) of $t passed")
}

step() {  # name command...: one check that passes or fails as a whole
  if "${@:2}"; then passed=$((passed + 1)); report+=("$1: ok")
  else failed=$((failed + 1)); report+=("$1: FAILED"); fi
}

build() {  # preset: configures and builds, showing only what went wrong
  cmake --preset "$1" >"build/configure-$1.log" 2>&1 || { cat "build/configure-$1.log"; return 1; }
  cmake --build --preset "$1" >"build/build-$1.log" 2>&1 ||
    { grep -E "error:|FAILED" "build/build-$1.log" | tail -n 50; return 1; }
  grep -E "warning:" "build/build-$1.log" | tail -n 20 || true
}

say "dependencies"
"$ROOT/tools/install-deps.sh" || { echo "installing dependencies failed"; exit 1; }
mkdir -p build

say "native build and tests (ASan, UBSan)"
if build native; then
  ctest --preset native -j2 2>&1 | tee build/ctest-native.log | tail -n 3
  count_ctest native build/ctest-native.log
else
  failed=$((failed + 1)); report+=("native build: FAILED")
fi

say "fuzz targets, $FUZZ_SECONDS s each"
if build fuzz; then
  for target in build/fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    mkdir -p "build/fuzz/corpus/$name"
    # Seeds: fuzz/seeds and the sample distribution.
    step "$name" bash -c "'$target' -max_total_time=$FUZZ_SECONDS -print_final_stats=0 'build/fuzz/corpus/$name' fuzz/seeds samples >build/fuzz/$name.log 2>&1 || { tail -n 40 build/fuzz/$name.log; exit 1; }"
  done
else
  failed=$((failed + 1)); report+=("fuzz build: FAILED")
fi

say "Windows build: win32 (the shipped i686 setup.exe, run under 32-bit Wine)"
if build win32; then
  step "setup.exe check" "$ROOT/tools/check-exe.sh" build/win32/setup.exe
  # The benchmarks are built, not timed.
  step "benchmark build" bash -c "cmake --build --preset win32 --target copy_bench >build/build-bench.log 2>&1 || { tail -n 20 build/build-bench.log; exit 1; }"
  say "Win32 and end-to-end tests under Wine"
  xinfo="$ROOT/build/xvfb.info"
  "$ROOT/tools/xvfb.sh" start "$xinfo"
  read -r DISPLAY _ < "$xinfo"; export DISPLAY
  trap '"$WINESERVER_BIN" -k 2>/dev/null; "$ROOT/tools/xvfb.sh" stop "$xinfo"' EXIT
  "$ROOT/tools/wine-prefix.sh" fresh
  "$WINESERVER_BIN" -p 2>/dev/null
  # Wine's background processes inherit the output of the program that
  # starts them; started here they never hold CTest's pipes open. The next
  # command returns once they are up.
  "$WINE_LOADER" build/win32/tests/win32/kelmo_keepalive.exe </dev/null >/dev/null 2>&1 &
  "$WINE_LOADER" cmd /c exit </dev/null >/dev/null 2>&1
  ctest --test-dir build/win32 --output-on-failure 2>&1 | tee build/ctest-wine.log | tail -n 15
  count_ctest "wine" build/ctest-wine.log
else
  failed=$((failed + 1)); report+=("win32 build: FAILED")
fi

echo
say "summary"
for line in "${report[@]}"; do echo "  $line"; done
echo "summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
