#!/usr/bin/env bash
# Checks the shipped program: a 32-bit GUI program for Windows 4.0 that
# imports only the platform's own libraries. Prints its size and imports.
set -euo pipefail
exe="$1"
allowed="USER32.dll GDI32.dll KERNEL32.dll ADVAPI32.dll COMCTL32.dll LZ32.dll"
headers=$(i686-w64-mingw32-objdump -p "$exe")
size=$(stat -c %s "$exe")
imports=$(grep -E "DLL Name:" <<<"$headers" | awk '{print $3}' | tr '\n' ' ')
echo "setup.exe: $size bytes; imports: $imports"
status=0
for dll in $imports; do
  grep -qiw "$dll" <<<"$allowed" || { echo "not allowed: $dll"; status=1; }
done
grep -q "file format pei-i386" <<<"$headers" || { echo "not an i386 program"; status=1; }
grep -Eq "Subsystem\s+00000002" <<<"$headers" || { echo "not a windows GUI program"; status=1; }
grep -Eq "MajorSubsystemVersion\s+4" <<<"$headers" && grep -Eq "MinorSubsystemVersion\s+0" <<<"$headers" \
  || { echo "subsystem version is not 4.0"; status=1; }
[ "$size" -le 131072 ] || { echo "larger than 128 KiB"; status=1; }
exit $status
