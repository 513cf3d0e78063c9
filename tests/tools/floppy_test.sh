#!/usr/bin/env bash
# Tests of tools/make-floppy.sh on the sample diskette and on small made-up
# folders: contents, sizes and label on the image, and the refusals.
set -uo pipefail
ROOT="${1:-$(cd "$(dirname "$0")/../.." && pwd)}"
floppy="$ROOT/tools/make-floppy.sh"
export MTOOLS_SKIP_CHECK=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() {  # description command...
  if ! "${@:2}"; then echo "FAIL: $1"; failures=$((failures + 1)); fi
}

# folder NAME SETUP_DAT_TEXT: a small distribution folder.
folder() {
  mkdir -p "$work/$1"
  printf '%b' "$2" >"$work/$1/setup.dat"
  echo "$work/$1"
}

# used_matches IMAGE OUTPUT: the script's computed need equals the clusters used.
used_matches() {
  local need free
  need=$(sed -n 's/.* \([0-9]*\) of 2847 clusters/\1/p' <<<"$2")
  free=$(mdir -i "$1" :: | sed -n 's/ bytes free//p' | tr -d ' ')
  [ -n "$need" ] && [ "$need" = $(((2847 * 512 - free) / 512)) ]
}

label_of() { mlabel -s -i "$1" :: | sed -n 's/^ Volume label is \([^(]*[^ (]\).*/\1/p'; }

# The sample diskette: every file, size and byte on the image; the computed
# need matches the clusters the image really uses.
"$ROOT/tools/make-diskette.sh" "$work/disk" >/dev/null
out=$("$floppy" "$work/disk" "$work/disk.img" 2>&1)
check "sample image made: $out" test -f "$work/disk.img"
check "image size" test "$(stat -c %s "$work/disk.img")" = 1474560
check "sample label" test "$(label_of "$work/disk.img")" = "KELMO WINDO"
(cd "$work/disk" && find . -type f -printf '%P %s\n') | sort >"$work/want"
while read -r path _; do
  echo "$path $(mdir -i "$work/disk.img" "::/$path" | awk '$1 !~ /^(Volume|Directory)$/ && NF >= 5 { print $3; exit }')"
done <"$work/want" | sort >"$work/got"
check "mdir lists every file with its size" diff "$work/want" "$work/got"
mkdir "$work/back"
mcopy -s -i "$work/disk.img" '::*' "$work/back/"
check "files come back byte for byte" diff -r "$work/disk" "$work/back"
check "computed need matches the sample image" used_matches "$work/disk.img" "$out"
# A folder of 13 short names and one long one spills into a second cluster.
many=$(folder many '')
mkdir "$many/sub"
(cd "$many/sub" && touch f01 f02 f03 f04 f05 f06 f07 f08 f09 f10 f11 f12 f13 Readme.Txt)
out=$("$floppy" "$many" "$work/many.img" 2>&1)
check "computed need matches the folder image" used_matches "$work/many.img" "$out"

# Labels: table of setup.dat text, disk id argument, expected label.
labels=(
  '[Source Media Descriptions]\r\n1=Kelmo Windows 95 Disk 1\r\n|1|KELMO WINDO'
  '[WindowsDir]\r\n; note\r\n  2 , a.ex_\r\n[source media descriptions]\r\n1=One\r\n 2 = "Second" \r\n||SECOND'
  '[Source Media Descriptions]\n1=a.b+c:d\n||A_B_C_D'
  '[Source Media Descriptions]\n1=  Kelmo Disk  Two\n||KELMO DISK'
  '[Source Media Descriptions]\n1=One\n2=Two\n|2|TWO'
  '[Source Media Descriptions]\nA=Letter\n|a|LETTER'
  '[Source Media Descriptions]\n1=One\n|3|'
)
for row in "${labels[@]}"; do
  IFS='|' read -r text id want <<<"$row"
  dir=$(folder "label" "$text")
  rm -f "$work/label.img"
  "$floppy" "$dir" "$work/label.img" $id >/dev/null 2>&1
  check "image made for '$text'" test -f "$work/label.img"
  check "label '$want' from '$text' $id" test "$(label_of "$work/label.img")" = "$want"
  rm -rf "$dir"
done

# Refusals: each fails with the message named and leaves no image.
small=$(folder small '[Source Media Descriptions]\n1=Small\n')
big=$(folder big '[Source Media Descriptions]\n1=Big\n')
head -c 1572864 /dev/zero >"$big/data.bin"
case_clash=$(folder clash '')
touch "$case_clash/A.TXT" "$case_clash/a.txt"
mkdir -p "$work/nodat" "$work/stub"
printf '#!/bin/sh\nexit 1\n' >"$work/stub/mcopy"
chmod +x "$work/stub/mcopy"
refusals=(
  "$work/missing|no such folder|"
  "$work/nodat|holds no setup.dat|"
  "$big|1572864 bytes|"
  "$case_clash|only in case|"
  "$small|mcopy could not copy|PATH=$work/stub:$PATH"
)
for row in "${refusals[@]}"; do
  IFS='|' read -r dir message env <<<"$row"
  err=$(env ${env:+"$env"} "$floppy" "$dir" "$work/fail.img" 2>&1 >/dev/null) && err="exit 0"
  check "$dir fails with '$message': $err" grep -q "$message" <<<"$err"
  check "$dir leaves no image" test -z "$(ls -A "$work" | grep 'fail\.img')"
done

# Overwriting: a foreign file stays untouched, an earlier floppy image is replaced.
echo "precious" >"$work/other.img"
check "foreign file refused" bash -c "! '$floppy' '$small' '$work/other.img' 2>/dev/null"
check "foreign file untouched" grep -qx precious "$work/other.img"
check "floppy image replaced" "$floppy" "$small" "$work/disk.img" >/dev/null
check "replaced image holds the new folder" test "$(label_of "$work/disk.img")" = SMALL

[ $failures -eq 0 ] && echo "all floppy checks passed"
[ $failures -eq 0 ]
