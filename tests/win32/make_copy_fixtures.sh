#!/usr/bin/env bash
# make_copy_fixtures.sh DIR [bench]: writes the driver files of the copy
# phase tests into DIR/plain and their SZDD-compressed forms (mscompress,
# renamed to the diskette's "x.dr_" style) into DIR. With "bench", a few
# megabytes of larger files for the copy benchmark instead.
set -eu  # no pipefail: the generators end by SIGPIPE
out=$1
mode=${2:-tests}
rm -rf "$out"
mkdir -p "$out/plain"
cd "$out/plain"

# Mixed content: incompressible bytes around repeated text, so the expansion
# meets both literals and back-references.
mixed() {  # name size
  { head -c $(($2 / 4)) /dev/urandom; yes "Kelmo display driver line $1" | head -c $(($2 / 2));
    head -c $2 /dev/urandom; } | head -c "$2" > "$1"
}

compress() {  # name compressed-name
  mscompress "$1"
  mv "$1_" "../$2"
}

if [ "$mode" = bench ]; then
  for i in 1 2 3 4 5 6 7 8; do
    { head -c 131072 /dev/urandom | base64 -w 76; seq 1 90000; } | head -c 524288 > "bench$i.drv"
    compress "bench$i.drv" "bench$i.dr_"
  done
  exit 0
fi

mixed display.drv 10000;  compress display.drv display.dr_
mixed kelmo.vxd 3000;     compress kelmo.vxd kelmo.vx_
mixed FOO.DRV 700;        compress FOO.DRV FOO.DR_
mixed vga.drv 5000;       compress vga.drv vga.dr_
mixed x.drv 300;          compress x.drv x.dr_
printf '[Version]\r\nSignature="$CHICAGO$"\r\nClass=Display\r\n' > oem.ini
compress oem.ini oem.in_
head -c 1 /dev/urandom > size1.txt;       compress size1.txt size1.tx_
mixed size4096.txt 4096;                  compress size4096.txt size4096.tx_
mixed size4097.txt 4097;                  compress size4097.txt size4097.tx_
# Stored as it is: the LZ library copies files that are not compressed.
mixed readme.1st 1500;    cp readme.1st ../readme.1st
mixed notes 200;          cp notes ../notes
