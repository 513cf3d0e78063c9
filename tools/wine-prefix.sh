#!/usr/bin/env bash
# Makes the throwaway Wine prefix of the tests under the build tree (never
# ~/.wine), unless it is there already. "fresh" removes it first.
set -euo pipefail
source "$(dirname "$0")/common.sh"

if [ "${1:-}" = fresh ]; then
  "$WINESERVER_BIN" -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
fi
if [ -f "$WINEPREFIX/.kelmo-ready" ]; then
  exit 0
fi
say "making the 32-bit Wine prefix $WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
"$WINE_LOADER" wineboot -i >/dev/null 2>&1 || true
# Without a window manager every hidden window would wait for one.
"$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
"$WINE_LOADER" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# Wine as Debian packs it does not look in its own font folder; the glyphs
# of the caption buttons (the close cross) come from Marlett, as on Windows.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
# A: is a folder of the prefix, so tests can start from a diskette's root.
mkdir -p "$WINEPREFIX/drive_a"
ln -sfn ../drive_a "$WINEPREFIX/dosdevices/a:"
"$WINESERVER_BIN" -w
test -f "$WINEPREFIX/system.reg" || { echo "wineboot made no prefix at $WINEPREFIX" >&2; exit 1; }
touch "$WINEPREFIX/.kelmo-ready"
