#!/usr/bin/env bash
# make_bench_files.sh DIR: eight driver-like files of 512 KB, compressed by
# mscompress into DIR as bench1.dr_ ... bench8.dr_, the same on every run.
set -eu  # no pipefail: head ends the generators by SIGPIPE
rm -rf "$1"
mkdir -p "$1"
cd "$1"
for i in 1 2 3 4 5 6 7 8; do
  { python3 -c 'import random, sys
random.seed(sys.argv[1]); sys.stdout.buffer.write(random.randbytes(131072))' "bench$i" |
      base64 -w 76; seq 1 90000; } | head -c 524288 > "bench$i.drv"
  mscompress "bench$i.drv"
  mv "bench$i.drv_" "bench$i.dr_"
  rm "bench$i.drv"
done
