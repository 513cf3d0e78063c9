#!/usr/bin/env bash
# Times setupcheck on generated driver sets of about 0.1, 0.4 and 1.6 MB of
# setup.dat and prints the seconds per MB of each: equal figures mean time
# linear in the size. A set has n registry lines and n/4 copy lines, each
# naming a file of its own that the set holds; the keyed sections come last,
# so a look-up that walks the file from its start passes every line.
#   SETUPCHECK=PATH  the checker to time (default: a release build of it in
#                    build/bench-check, made without sanitizers)
#   SIZES="KB ..."   sizes of setup.dat in KB (default "100 400 1600")
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ROOT"

SIZES="${SIZES:-100 400 1600}"
if [ -z "${SETUPCHECK:-}" ]; then
  say "building setupcheck in build/bench-check"
  mkdir -p build
  { cmake -S . -B build/bench-check -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELMO_SANITIZE=OFF &&
      cmake --build build/bench-check --target setupcheck; } >build/bench-check.log 2>&1 ||
    { tail -n 30 build/bench-check.log; echo "building setupcheck failed: build/bench-check.log" >&2; exit 1; }
  SETUPCHECK="$ROOT/build/bench-check/setupcheck"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# make_set DIR KB: a set whose setup.dat is about KB kilobytes.
make_set() {
  python3 - "$1" "$2" <<'PY'
import os, sys
folder, kb = sys.argv[1], int(sys.argv[2])
os.makedirs(folder)
head = ("[Product]\r\nProductName=Bench\r\nDriverInf=bench.ini\r\nOemsetupInf=oembench.inf\r\n"
        "[DiskSpace]\r\nSizeInKB=1\r\n[Enum PCI]\r\nVender=VEN_1&DEV_2\r\nMfg=Bench\r\n"
        "[Source Media Descriptions]\r\n1=Bench Disk 1\r\n")
copy, reg, size = [], [], len(head)
while size < kb * 1000:
    reg.append('HKR,"MODES\\\\8\\\\%d",RefreshRate,,"60,72"\r\n' % len(reg))
    if len(reg) % 4 == 0:
        copy.append("1,f%06d.dr_\r\n" % len(copy))
        size += len(copy[-1])
    size += len(reg[-1])
n = len(copy)
text = ("[WindowsDir]\r\n" + "".join(copy[: n // 2]) + "\r\n[SystemDir]\r\n" +
        "".join(copy[n // 2:]) + "\r\n[Driver.AddReg]\r\n" + "".join(reg) + "\r\n" + head)
with open(os.path.join(folder, "setup.dat"), "w", newline="") as f:
    f.write(text)
for i in range(n):
    with open(os.path.join(folder, "f%06d.dr_" % i), "wb") as f:
        f.write(b"x" * 100)
PY
}

say "timing $SETUPCHECK"
printf '%10s %8s %10s %10s\n' "setup.dat" "lines" "seconds" "s per MB"
for kb in $SIZES; do
  set_dir="$work/set-$kb"
  make_set "$set_dir" "$kb"
  bytes=$(stat -c %s "$set_dir/setup.dat")
  lines=$(wc -l <"$set_dir/setup.dat")
  start=$(date +%s.%N)
  "$SETUPCHECK" --json "$set_dir" >/dev/null || true
  end=$(date +%s.%N)
  python3 -c "
b, s = $bytes, $end - $start
print('%10s %8d %10.3f %10.3f' % ('%.2f MB' % (b / 1e6), $lines, s, s / (b / 1e6)))"
done
