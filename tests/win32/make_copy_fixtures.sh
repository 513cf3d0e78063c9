#!/usr/bin/env bash
# make_copy_fixtures.sh DIR: writes the driver files of the copy phase test
# into DIR/plain and their SZDD-compressed forms (mscompress, named in the
# diskette's "x.dr_" style) into DIR.
set -eu  # no pipefail: head ends the generators by SIGPIPE
out=$1
rm -rf "$out"
mkdir -p "$out/plain"
cd "$out/plain"

# The same bytes on every run: a failing case fails the same way again.
noise() {  # seed size
  python3 -c 'import random, sys
random.seed(sys.argv[1]); sys.stdout.buffer.write(random.randbytes(int(sys.argv[2])))' "$1" "$2"
}

# Random bytes around repeated text, so that the expansion meets both literals
# and back-references.
for file in display.drv:10000 kelmo.vxd:4096 FOO.DRV:700 vga.drv:5000 x.drv:300; do
  name=${file%:*} size=${file#*:}
  { noise "$name" $((size / 4)); yes "Kelmo display driver line $name" | head -c $((size / 2));
    noise "$name+" "$size"; } | head -c "$size" > "$name"
  mscompress "$name"
  mv "${name}_" "../${name%?}_"  # x.drv -> x.dr_
done
printf '[Version]\r\nSignature="$CHICAGO$"\r\nClass=Display\r\n' > oem.ini
mscompress oem.ini
mv oem.ini_ ../oem.in_
# Stored as it is: the LZ library copies a file that is not compressed.
noise readme.1st 1500 > readme.1st
cp readme.1st ../readme.1st
# A file that opens but cannot be read: reading the start of a process's own
# memory fails with an I/O error, as a bad sector does.
ln -s /proc/self/mem ../unreadable.dr_
