#!/usr/bin/env bash
# Checks the shipped program: a 32-bit GUI program for Windows 4.0 of at most
# 32 KiB, run from the swap file when started from a diskette, that imports
# only the platform's own libraries and holds no instruction the Pentium
# lacks. Prints its size and imports.
#   check-exe.sh setup.exe
set -euo pipefail
exe="$1"
allowed="USER32.dll GDI32.dll KERNEL32.dll ADVAPI32.dll COMCTL32.dll LZ32.dll"
headers=$(i686-w64-mingw32-objdump -p "$exe")
size=$(stat -c %s "$exe")
imports=$(awk '/DLL Name:/ {print $3}' <<<"$headers" | tr '\n' ' ')
echo "$(basename "$exe"): $size bytes; imports: $imports"
status=0
for dll in $imports; do
  grep -qiw "$dll" <<<"$allowed" || { echo "not allowed: $dll"; status=1; }
done
grep -q "file format pei-i386" <<<"$headers" || { echo "not an i386 program"; status=1; }
grep -Eq "Subsystem\s+00000002" <<<"$headers" || { echo "not a windows GUI program"; status=1; }
grep -Eq "MajorSubsystemVersion\s+4" <<<"$headers" && grep -Eq "MinorSubsystemVersion\s+0" <<<"$headers" \
  || { echo "subsystem version is not 4.0"; status=1; }
[ "$size" -le 32768 ] || { echo "larger than 32 KiB"; status=1; }
# IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP: otherwise it is paged in from the
# diskette it was started from, which the user takes out.
characteristics=$(awk '$1 == "Characteristics" {print $2; exit}' <<<"$headers")
(( ${characteristics:-0} & 0x0400 )) || { echo "not marked to run from the swap file"; status=1; }

# Every instruction of the program, library helpers included, must run on
# the 486 and the Pentium: no conditional moves (integer or x87), no FCOMI,
# no fast system calls, no P6 long NOPs or counters, nothing that uses the
# MMX, SSE or AVX registers.
p6_and_later='^(cmov|fcmov|f(u)?comip?$|sysenter|sysexit|syscall|sysret|nop[wl]$|rdpmc|fxsave|fxrstor|prefetch|[lms]fence|clflush|movnti|popcnt|lzcnt|tzcnt|movbe|crc32)'
found=$(i686-w64-mingw32-objdump -d --no-show-raw-insn "$exe" |
  awk -F'\t' -v pat="$p6_and_later" 'NF >= 2 {
      split($2, w, " "); mnemonic = w[1]
      if (mnemonic ~ pat || $2 ~ /%[xyz]?mm[0-9]/) print $1 " " $2 }')
if [ -n "$found" ]; then
  echo "instructions the Pentium lacks:"
  head -n 20 <<<"$found"
  status=1
fi
exit $status
