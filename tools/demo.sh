#!/usr/bin/env bash
# The demo: builds setup.exe (the shipped i686 program) and the sample
# driver set, two diskettes, makes a fresh 32-bit Wine prefix whose registry
# holds a simulated Kelmo adapter with two PCI instances, puts the first
# diskette in drive A: and runs the wizard from there. When setup.exe asks
# for the second diskette, the demo changes the diskette in A:.
# Each diskette is also written as a 1.44 MB floppy image for emulators.
#
# With a usable display the wizard opens in a Wine desktop window for you to
# click through; the terminal says when the demo changes the diskette. Without
# one it runs headless under Xvfb, worked by kelmo_drive, the end-to-end
# tests' driver. The terminal shows each message box setup.exe shows, and in
# the end what the install changed: files, registry values and ini lines.
#
#   KELMO_DEMO_HEADLESS=1  drive the wizard under Xvfb even with a display
#   KELMO_DEMO_BUILD=DIR   build tree to use (default build/win32)
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ROOT"

build="${KELMO_DEMO_BUILD:-$ROOT/build/win32}"
export WINEPREFIX="$ROOT/build/demo-prefix"
work="$ROOT/build/demo"

say "dependencies"
"$ROOT/tools/install-deps.sh"

say "building setup.exe, the driver program and the sample diskettes in $build"
[ -f "$build/build.ninja" ] || cmake --preset win32 -B "$build" >/dev/null
cmake --build "$build" --target setup kelmo_drive sample_diskette >/dev/null
# setupcheck reads setup.dat for the floppy labels and the summary below.
say "building setupcheck in build/native"
[ -f "$ROOT/build/native/build.ninja" ] || cmake --preset native >/dev/null
cmake --build --preset native --target setupcheck >/dev/null
export SETUPCHECK="$ROOT/build/native/setupcheck"

rm -rf "$work"
mkdir -p "$work"
set_dir="$build/diskette"
# The plan of the set, for the summary in the end; errors stop the demo.
checked=0
"$SETUPCHECK" --json "$set_dir/disk1" "$set_dir/disk2" >"$work/plan.json" || checked=$?
if [ $checked -gt 1 ]; then
  "$SETUPCHECK" "$set_dir/disk1" "$set_dir/disk2" >&2 || true
  exit 1
fi
say "floppy images of the diskettes for emulator users: $work/kelmo-disk1.img, $work/kelmo-disk2.img"
"$ROOT/tools/make-floppy.sh" "$set_dir/disk1" "$work/kelmo-disk1.img" >"$work/floppy.log"
"$ROOT/tools/make-floppy.sh" "$set_dir/disk2" "$work/kelmo-disk2.img" 2 "$set_dir/disk1/setup.dat" \
  >>"$work/floppy.log"

# Tells the person at the terminal what the driver sees and does: each
# message box of setup.exe, and the change of diskette.
tell_person() {
  local line
  while IFS= read -r line; do
    case "$line" in
      'box '*)
        say "setup.exe shows $(sed -n 's/.*"caption": \("[^"]*"\).*"text": "\(.*\)", "buttons".*/\1: \2/p' <<<"$line" | sed 's/\\"/"/g')" ;;
      'diskette '*)
        say "the demo has taken disk 1 out of drive A: and put disk 2 in${1:+: press OK}" ;;
    esac
  done
}

headless=0
if [ -n "${KELMO_DEMO_HEADLESS:-}" ] || [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  headless=1
  "$ROOT/tools/xvfb.sh" start "$work/xvfb.info"
  read -r DISPLAY _ < "$work/xvfb.info"
  export DISPLAY
fi
trap '"$WINESERVER_BIN" -k 2>/dev/null || true; "$ROOT/tools/xvfb.sh" stop "$work/xvfb.info"' EXIT

say "fresh Wine prefix $WINEPREFIX with a simulated adapter, the first diskette in A:"
"$ROOT/tools/wine-prefix.sh" fresh
cp -r "$set_dir/disk1/." "$WINEPREFIX/drive_a/"
# At the prompt for the second diskette the driver program changes it.
change_disk="disk:Z:$(tr / '\\' <<<"$set_dir/disk2")"
"$WINE_LOADER" reg import "Z:$(tr / '\\' <<<"$ROOT/samples/adapter.reg")" >/dev/null 2>&1
"$WINESERVER_BIN" -w
touch "$work/before"

# +process shows the restart request: the command line of wineboot.
if [ $headless = 1 ]; then
  say "running the wizard headless on $DISPLAY, driven by kelmo_drive"
  WINEDEBUG=+process "$WINE_LOADER" "$build/tests/e2e/kelmo_drive.exe" \
    --exe 'A:\setup.exe' --dir 'A:\' --answers "$change_disk" \
    2>"$work/trace.log" | tell_person
else
  say "the wizard opens in a Wine desktop window: Next, then Finish"
  (cd "$WINEPREFIX/drive_a" &&
     WINEDEBUG=+process "$WINE_LOADER" explorer /desktop=Kelmo,800x600 \
       "$build/tests/e2e/kelmo_drive.exe" --person --exe 'A:\setup.exe' --dir 'A:\' \
       --answers "$change_disk" 2>"$work/trace.log" | tell_person ok || true)
fi
"$WINESERVER_BIN" -w

say "what the install changed"
echo "files:"
# LZCopy keeps the source's modification time: a new file shows in its ctime.
(cd "$WINEPREFIX/drive_c/windows" &&
   find . -type f -cnewer "$work/before" ! -name '*.ini' -printf '  C:\\windows\\%P  %s bytes\n' |
   tr / '\\' | sort)
echo "registry:"
# The keys setupcheck planned: the adapter's, the display class and the
# deepest key of each line that is not below an adapter's driver key.
mapfile -t keys < <(python3 -c 'import json, sys
plan = json.load(open(sys.argv[1]))
lines = {r["base"] + "\\" + r["keys"][-1] for r in plan["registry_lines"]
         if r["base"] and "<instance>" not in r["base"] and r["keys"]}
adapter = [plan["device_key"]] if plan["device_key"] else []
print("\n".join(adapter + ["HKLM\\System\\CurrentControlSet\\Services\\Class\\Display"] + sorted(lines)))' "$work/plan.json")
for key in "${keys[@]}"; do
  "$WINE_LOADER" reg query "$key" /s 2>/dev/null | tr -d '\r' | sed -e '/^$/d' -e 's/^/  /' || true
done
echo "ini files:"
tr -d '\r' < "$WINEPREFIX/drive_c/windows/system.ini" |
  awk '/^\[/ { s = tolower($0); next }
       s == "[boot.description]" || s == "[display]" { print "  system.ini " s " " $0 }'
# Wine, like Windows NT, keeps the [windows] section of win.ini in the registry.
"$WINE_LOADER" reg query 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows' /v load 2>/dev/null |
  tr -d '\r' | awk '$1 == "load" { print "  win.ini [windows] load=" $3 " (kept in HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows)" }'
if grep -q 'wineboot.exe[^\n]*--end-session' "$work/trace.log"; then
  echo "restart: requested (wineboot --end-session)"
else
  echo "restart: not requested"
fi
