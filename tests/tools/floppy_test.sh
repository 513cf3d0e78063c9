#!/usr/bin/env bash
# tools/make-floppy.sh: the sample diskette comes back from its image whole;
# what cannot be written is refused, with no image left and no foreign file touched.
source "$(dirname "$0")/lib.sh"
floppy="$ROOT/tools/make-floppy.sh"; export SETUPCHECK=$2
label_of() { mlabel -s -i "$1" :: | sed -n 's/^ Volume label is \([^(]*[^ (]\).*/\1/p'; }

"$ROOT/tools/make-diskette.sh" "$work/set" >/dev/null
check "first diskette's image made" "$floppy" "$work/set/disk1" "$work/disk1.img" >/dev/null
check "second diskette's image made" \
  "$floppy" "$work/set/disk2" "$work/disk2.img" 2 "$work/set/disk1/setup.dat" >/dev/null
check "sample label" test "$(label_of "$work/disk1.img")" = "KELMO WINDO"
mkdir "$work/back" "$work/small" "$work/nodat" "$work/big"
for disk in disk1 disk2; do
  mkdir "$work/back/$disk"
  mcopy -s -i "$work/$disk.img" '::*' "$work/back/$disk/"
done
check "every file back under its name, byte for byte" diff -r "$work/set" "$work/back"

printf '[Source Media Descriptions]\n1=Small\n' | tee "$work/big/setup.dat" >"$work/small/setup.dat"
head -c 1572864 /dev/zero >"$work/big/data.bin"
echo precious >"$work/foreign.img"
for row in "nodat|fail.img|not a first diskette" "big|fail.img|1572864 bytes" \
           "small|foreign.img|is not a 1.44 MB FAT12 floppy image"; do
  IFS='|' read -r dir image message <<<"$row"
  err=$("$floppy" "$work/$dir" "$work/$image" 2>&1 >/dev/null) && err="exit 0"
  check "$dir refused with '$message': $err" grep -q "$message" <<<"$err"
done
check "no image left" test -z "$(ls -A "$work" | grep 'fail\.img')"
check "foreign file untouched" grep -qx precious "$work/foreign.img"

[ $failures -eq 0 ] && echo "all floppy checks passed"
