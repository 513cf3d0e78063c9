# Shared settings of the tool scripts; sourced, not run.
#
# The Win32 code is tested under Wine. Its 32-bit build is the shipped
# setup.exe; a host whose kernel cannot execute 32-bit code (some virtual
# machines) cannot run 32-bit Wine at all, so the tests run the 64-bit build
# of the same sources under 64-bit Wine by default. KELMO_WINE_ARCH=win32
# picks the 32-bit lane on a host that can run it.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KELMO_WINE_ARCH="${KELMO_WINE_ARCH:-win64}"
case "$KELMO_WINE_ARCH" in
  win64) WINE_PRESET=win64; WINE_LOADER=/usr/lib/wine/wine64; WINESERVER_BIN=/usr/lib/wine/wineserver64 ;;
  win32) WINE_PRESET=win32; WINE_LOADER=/usr/lib/wine/wine; WINESERVER_BIN=/usr/lib/wine/wineserver32 ;;
  *) echo "KELMO_WINE_ARCH must be win64 or win32" >&2; exit 2 ;;
esac
export WINEARCH="$KELMO_WINE_ARCH"
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/prefix-$KELMO_WINE_ARCH}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINE_LOADER WINESERVER_BIN WINE_PRESET KELMO_WINE_ARCH ROOT
export WINESERVER="$WINESERVER_BIN"

# Runs a command as root: directly when we are root, else through sudo.
as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

say() { printf '\033[1m==> %s\033[0m\n' "$*"; }
