#!/usr/bin/env bash
# check-exe.sh refuses a program that holds one instruction the Pentium lacks,
# and one that would be paged in from the diskette it was started from.
source "$(dirname "$0")/lib.sh"
set -e
build() {  # name instruction
  printf 'void Start(void) { __asm__ volatile("%s" ::: "eax", "ebx"); }\n' "$2" > "$work/$1.c"
  i686-w64-mingw32-gcc -Os -nostdlib -Wl,-e,_Start -Wl,--subsystem,windows:4.0 \
    "$work/$1.c" -o "$work/$1.exe"
}
build paged "xorl %%ebx, %%eax"
cp "$work/paged.exe" "$work/plain.exe"
build planted "cmovne %%ebx, %%eax"
for exe in plain planted; do python3 "$ROOT/tools/run-from-swap.py" "$work/$exe.exe"; done
"$ROOT/tools/check-exe.sh" "$work/plain.exe"
! "$ROOT/tools/check-exe.sh" "$work/planted.exe" || { echo "FAIL: a CMOV passed the check"; exit 1; }
! "$ROOT/tools/check-exe.sh" "$work/paged.exe" || { echo "FAIL: a program paged from the diskette passed"; exit 1; }
