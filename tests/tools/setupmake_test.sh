#!/usr/bin/env bash
# setupmake as a driver author runs it: the sample set made and made again,
# compressed files expanded back by msexpand, exit codes and refusals.
source "$(dirname "$0")/lib.sh"
maker=$2

# The sample twice: the second run replaces the first set.
printf 'MZ: stands in for setup.exe' >"$work/setup.exe"
for run in first second; do
  expect "the sample, $run run" 0 "0 errors, 0 warnings" "$maker" \
    --setup "$work/setup.exe" "$ROOT/samples/files/kelmo.inf" "$work/set"
done
check "setup.exe on disk1" cmp "$work/setup.exe" "$work/set/disk1/setup.exe"
check "the code page is named" grep -q "^code page 1252: the INF is read" "$work/out"

# A driver file of 100000 bytes: text, runs that overlap their own match,
# seeded noise and a start of spaces that matches the expander's first window.
mkdir "$work/drv"
printf '%s\n' '[Version]' 'Signature="$CHICAGO$"' Class=Display '[Manufacturer]' Maker=Models \
  '[Models]' 'Big=Big.Install, PCI\VEN_1A2B&DEV_3C4D' '[Big.Install]' CopyFiles=Big.Files \
  '[Big.Files]' big.drv '[DestinationDirs]' DefaultDestDir=11 '[SourceDisksNames]' \
  '1="Big Disk"' '[SourceDisksFiles]' big.drv=1 >"$work/drv/big.inf"
python3 - "$work/drv/big.drv" <<'PY'
import random, sys
random.seed(95)
parts = [b" " * 300, b"Kelmo ProGraph 64, 640x480 mode\r\n" * 900, b"ab" * 3000,
         bytes(random.getrandbits(8) for _ in range(40000)), bytes(4000)]
data = b"".join(parts)
open(sys.argv[1], "wb").write(data + bytes(random.getrandbits(3) for _ in range(100000 - len(data))))
PY
expect "a set of one large file" 0 "0 errors" "$maker" "$work/drv/big.inf" "$work/big"
check "big.dr_ expands to big.drv" cmp <(msexpand <"$work/big/disk1/big.dr_" 2>/dev/null) "$work/drv/big.drv"

# Exit codes and refusals; a refused set leaves nothing behind.
sed 's/^DefaultDestDir=11/DefaultDestDir=12/' "$work/drv/big.inf" >"$work/drv/dir12.inf"
expect "an error exits 2" 2 "error   dir12.inf line 13 .*destination 12" "$maker" "$work/drv/dir12.inf" "$work/dir12"
# Noise grows when compressed: stored, it passes the diskette's 2847 clusters.
python3 -c 'import random, sys; random.seed(1); sys.stdout.buffer.write(random.randbytes(1457000))' \
  >"$work/drv/big.drv"
expect "an over-full diskette" 2 "disk1 does not fit a 1.44 MB diskette: its 3 files hold [0-9]* bytes and take [0-9]* clusters of 512 bytes" "$maker" \
  "$work/drv/big.inf" "$work/full"
# A set's folders and one more thing: not a set setupmake made.
mkdir -p "$work/foreign/disk1" && echo precious >"$work/foreign/notes" && echo ours >"$work/foreign/disk1/setup.dat"
cp -a "$work/foreign" "$work/foreign.before"
expect "a foreign OUT" 2 "not touching it" "$maker" "$ROOT/samples/files/kelmo.inf" "$work/foreign"
check "nothing written for refused sets" test -z "$(ls "$work" | grep -E '^(dir12|full)|\.new')"
check "a foreign OUT untouched" diff -r "$work/foreign.before" "$work/foreign"

[ $failures = 0 ] && echo "setupmake: all checks passed"
