#!/usr/bin/env bash
# Installs what building and testing need on Debian 12: the host's tools,
# then a way to run i386 programs, then 32-bit Wine. Installs nothing that is
# there already; uses sudo when not run as root.
set -euo pipefail
source "$(dirname "$0")/common.sh"

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev
          g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine64 fonts-wine
          fonts-liberation xvfb x11-utils xauth mscompress mtools imagemagick python3 file
          locales fonts-ipafont-gothic)
i386_packages=(wine32:i386)

missing() {  # package...: prints those not installed
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

install() {  # package...
  say "installing: $*"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" >/dev/null
}

updated=0
native=($(missing "${packages[@]}"))
if [ ${#native[@]} -gt 0 ]; then
  as_root apt-get update -qq && updated=1
  install "${native[@]}"
fi

# The Japanese and Traditional Chinese locales: under them Wine's ANSI code
# page is 932 or 950, as on those systems.
for locale in ja_JP zh_TW; do
  locale -a | grep -qx "$locale.utf8" || as_root localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
done

# Before any i386 package: their install scripts may run i386 programs.
"$ROOT/tools/i386-support.sh"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  updated=0
fi
foreign=($(missing "${i386_packages[@]}"))
if [ ${#foreign[@]} -gt 0 ]; then
  [ $updated = 1 ] || as_root apt-get update -qq
  install "${foreign[@]}"
fi
