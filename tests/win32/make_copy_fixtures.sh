#!/usr/bin/env bash
# make_copy_fixtures.sh DIR: writes the driver files of the copy phase tests
# into DIR/plain and their SZDD-compressed forms (mscompress, renamed to the
# diskette's "x.dr_" style) into DIR.
set -eu  # no pipefail: the generators end by SIGPIPE
out=$1
rm -rf "$out"
mkdir -p "$out/plain"
cd "$out/plain"

# The same bytes on every run: a failing case fails the same way again.
noise() {  # seed size
  python3 -c 'import random, sys
random.seed(sys.argv[1]); sys.stdout.buffer.write(random.randbytes(int(sys.argv[2])))' "$1" "$2"
}

# Mixed content: incompressible bytes around repeated text, so the expansion
# meets both literals and back-references.
mixed() {  # name size
  { noise "$1" $(($2 / 4)); yes "Kelmo display driver line $1" | head -c $(($2 / 2));
    noise "$1+" "$2"; } | head -c "$2" > "$1"
}

# mscompress writes files under 16 bytes wrongly (they expand to other
# bytes); the LZ library copies a file that is not compressed as it is.
compress() {  # name compressed-name
  if [ "$(stat -c %s "$1")" -lt 16 ]; then
    cp "$1" "../$2"
  else
    mscompress "$1"
    mv "$1_" "../$2"
  fi
}

mixed display.drv 10000;  compress display.drv display.dr_
mixed kelmo.vxd 3000;     compress kelmo.vxd kelmo.vx_
mixed FOO.DRV 700;        compress FOO.DRV FOO.DR_
mixed vga.drv 5000;       compress vga.drv vga.dr_
mixed x.drv 300;          compress x.drv x.dr_
printf '[Version]\r\nSignature="$CHICAGO$"\r\nClass=Display\r\n' > oem.ini
compress oem.ini oem.in_
noise size1 1 > size1.txt;               compress size1.txt size1.tx_
mixed size4096.txt 4096;                  compress size4096.txt size4096.tx_
mixed size4097.txt 4097;                  compress size4097.txt size4097.tx_
# A file that opens but cannot be read: reading the start of a process's own
# memory fails with an I/O error, as a bad sector does.
ln -s /proc/self/mem ../unreadable.dr_
# Stored as it is: the LZ library copies files that are not compressed.
mixed readme.1st 1500;    cp readme.1st ../readme.1st
mixed notes 200;          cp notes ../notes
