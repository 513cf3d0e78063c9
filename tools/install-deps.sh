#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Installs nothing when
# everything is there; uses sudo when not run as root.
set -euo pipefail
source "$(dirname "$0")/common.sh"

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
          wine wine64 fonts-wine fonts-liberation xvfb x11-utils xauth mscompress mtools
          imagemagick python3 file)
if [ "$KELMO_WINE_ARCH" = win32 ]; then
  packages+=(wine32:i386)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

say "installing: ${missing[*]}"
if [ "$KELMO_WINE_ARCH" = win32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi
as_root apt-get update -qq
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
