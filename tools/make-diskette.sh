#!/usr/bin/env bash
# make-diskette.sh OUTDIR [SETUP_EXE]: builds the sample driver diskette in
# OUTDIR from samples/: setup.dat, the driver files stored
# compressed by mscompress under their x.ab_ names, the files listed
# uncompressed as they are, the second diskette as the folder disk2, and
# setup.exe when one is given.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
samples="$ROOT/samples/files"
out="${1:?usage: make-diskette.sh OUTDIR [SETUP_EXE]}"
setup_exe="${2:-}"

# compressed FILE DIR: stores FILE compressed into DIR. mscompress appends
# "_" to the whole name; the stored name replaces the last letter instead.
# A file under 16 bytes, which mscompress writes wrongly, is stored as it is
# under that name: the LZ library copies it unexpanded.
compressed() {
  local name=$1 dir=$2 work
  if [ "$(stat -c %s "$samples/$name")" -lt 16 ]; then
    cp "$samples/$name" "$dir/${name%?}_"
    return
  fi
  work=$(mktemp -d)
  cp "$samples/$name" "$work/$name"
  (cd "$work" && mscompress "$name")
  mv "$work/${name}_" "$dir/${name%?}_"
  rm -rf "$work"
}

# Only a folder this script made before (it holds setup.dat) is emptied.
if [ -d "$out" ] && [ -n "$(ls -A "$out")" ] && [ ! -f "$out/setup.dat" ]; then
  echo "make-diskette.sh: $out is not empty and holds no setup.dat; not touching it" >&2
  exit 1
fi
rm -rf "$out"
mkdir -p "$out/disk2"
cp "$ROOT/samples/setup.dat" "$out/setup.dat"
for name in kelmo.inf kelmotry.exe kelmo.txt kelmo.drv kelmo.vxd; do
  compressed "$name" "$out"
done
cp "$samples/readme.1st" "$out/readme.1st"
compressed kelmo32.dll "$out/disk2"
cp "$samples/kelmo.inf" "$out/disk2/kelmo.inf"
if [ -n "$setup_exe" ]; then
  cp "$setup_exe" "$out/setup.exe"
fi
