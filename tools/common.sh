# Shared settings of the tool scripts; sourced, not run.
#
# The Win32 code is tested as it ships: the i686 build under 32-bit Wine, in
# a 32-bit prefix. Where the kernel cannot run i386 programs, qemu-i386 runs
# Wine's 32-bit side (tools/i386-support.sh); the server is the 64-bit one,
# which serves 32-bit programs too and so runs at native speed.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
WINE_LOADER=/usr/lib/wine/wine
WINESERVER_BIN=/usr/lib/wine/wineserver64
[ -x "$WINESERVER_BIN" ] || WINESERVER_BIN=/usr/lib/wine/wineserver32
export WINEARCH=win32
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINE_LOADER WINESERVER_BIN ROOT
export WINESERVER="$WINESERVER_BIN"

# Runs a command as root: directly when we are root, else through sudo.
as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

say() { printf '\033[1m==> %s\033[0m\n' "$*"; }

# cxx_constant NAME: the number the program's C++ headers under src/ define
# as NAME, so that a script and the programs share one value. Fails unless
# exactly one value is defined.
cxx_constant() {
  local value
  value=$(grep -rhoE --include='*.h' "\b$1 = [0-9]+;" "$ROOT/src" |
          sed -E 's/.* = ([0-9]+);$/\1/' | sort -u)
  [[ "$value" =~ ^[0-9]+$ ]] ||
    { echo "$(basename "$0"): no single definition of $1 in the headers under $ROOT/src" >&2; return 1; }
  echo "$value"
}
