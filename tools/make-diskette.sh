#!/usr/bin/env bash
# make-diskette.sh OUTDIR [SETUP_EXE]: lays out the sample driver set from
# samples/ as its two diskettes, OUTDIR/disk1 and OUTDIR/disk2: setup.dat
# (and setup.exe when one is given) on the first, the driver files stored
# compressed by mscompress under their x.ab_ names, the files listed
# uncompressed as they are.
set -euo pipefail
source "$(dirname "$0")/common.sh"
samples="$ROOT/samples/files"
out="${1:?usage: make-diskette.sh OUTDIR [SETUP_EXE]}"
setup_exe="${2:-}"
min_compressed=$(cxx_constant kMinCompressedSize)

# compressed FILE DIR: stores FILE compressed into DIR. mscompress appends
# "_" to the whole name; the stored name replaces the last letter instead.
# A file smaller than the programs' smallest compressed size, which mscompress
# writes wrongly, is stored as it is under that name: the LZ library copies it
# unexpanded.
compressed() {
  local name=$1 dir=$2 work
  if [ "$(stat -c %s "$samples/$name")" -lt "$min_compressed" ]; then
    cp "$samples/$name" "$dir/${name%?}_"
    return
  fi
  work=$(mktemp -d)
  cp "$samples/$name" "$work/$name"
  (cd "$work" && mscompress "$name")
  mv "$work/${name}_" "$dir/${name%?}_"
  rm -rf "$work"
}

# Only a folder this script made before (it, or its first diskette, holds
# setup.dat) is emptied.
if [ -d "$out" ] && [ -n "$(ls -A "$out")" ] && [ ! -f "$out/disk1/setup.dat" ] &&
   [ ! -f "$out/setup.dat" ]; then
  echo "make-diskette.sh: $out is not empty and holds no disk1/setup.dat; not touching it" >&2
  exit 1
fi
rm -rf "$out"
mkdir -p "$out/disk1" "$out/disk2"
cp "$ROOT/samples/setup.dat" "$out/disk1/setup.dat"
for name in kelmo.inf kelmotry.exe kelmo.txt kelmo.drv kelmo.vxd; do
  compressed "$name" "$out/disk1"
done
cp "$samples/readme.1st" "$out/disk1/readme.1st"
compressed kelmo32.dll "$out/disk2"
cp "$samples/kelmo.inf" "$out/disk2/kelmo.inf"
if [ -n "$setup_exe" ]; then
  cp "$setup_exe" "$out/disk1/setup.exe"
fi
