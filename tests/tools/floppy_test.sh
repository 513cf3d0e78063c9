#!/usr/bin/env bash
# tools/make-floppy.sh: the sample diskette comes back from its image whole;
# what cannot be written is refused, with no image left and no foreign file touched.
set -uo pipefail
ROOT=$1
floppy="$ROOT/tools/make-floppy.sh"
export MTOOLS_SKIP_CHECK=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() {  # description command...
  if ! "${@:2}"; then echo "FAIL: $1"; failures=$((failures + 1)); fi
}
label_of() { mlabel -s -i "$1" :: | sed -n 's/^ Volume label is \([^(]*[^ (]\).*/\1/p'; }

"$ROOT/tools/make-diskette.sh" "$work/disk" >/dev/null
check "sample image made" "$floppy" "$work/disk" "$work/disk.img" >/dev/null
check "sample label" test "$(label_of "$work/disk.img")" = "KELMO WINDO"
mkdir "$work/back" "$work/small" "$work/nodat" "$work/big"
mcopy -s -i "$work/disk.img" '::*' "$work/back/"
check "every file back under its name, byte for byte" diff -r "$work/disk" "$work/back"

printf '[Source Media Descriptions]\n1=Small\n' | tee "$work/big/setup.dat" >"$work/small/setup.dat"
head -c 1572864 /dev/zero >"$work/big/data.bin"
echo precious >"$work/foreign.img"
for row in "nodat|fail.img|holds no setup.dat" "big|fail.img|1572864 bytes" \
           "small|foreign.img|is not a 1.44 MB FAT12 floppy image"; do
  IFS='|' read -r dir image message <<<"$row"
  err=$("$floppy" "$work/$dir" "$work/$image" 2>&1 >/dev/null) && err="exit 0"
  check "$dir refused with '$message': $err" grep -q "$message" <<<"$err"
done
check "no image left" test -z "$(ls -A "$work" | grep 'fail\.img')"
check "foreign file untouched" grep -qx precious "$work/foreign.img"

[ $failures -eq 0 ] && echo "all floppy checks passed"
