#!/usr/bin/env bash
# setupcheck as a user runs it: exit codes, the JSON plan, the refusals.
source "$(dirname "$0")/lib.sh"
checker=$2

"$ROOT/tools/make-diskette.sh" "$work/set" >/dev/null
first="$work/set/disk1"
expect "the sample's two diskettes are clean" 0 '"errors": 0, "warnings": 0' "$checker" \
  --json --windows-dir 'D:\WIN95\' "$first" "$work/set/disk2"
python3 -c 'import json, sys; plan = json.load(open(sys.argv[1]))
assert plan["files"][1]["target"] == "D:\\WIN95\\kelmotry.exe"
assert plan["files"][6]["prompt"].endswith("Disk 2 into A:")' "$work/out" ||
  { echo "FAIL: the JSON plan does not parse or lacks a target or prompt"; failures=$((failures + 1)); }
sed -i 's/^SizeInKB=22/SizeInKB=30/' "$first/setup.dat"
expect "a warning exits 1" 1 "warning line 12" "$checker" "$first" "$work/set/disk2"
expect "the code page is named" 1 "^Code page     950$" "$checker" --codepage 950 "$first" "$work/set/disk2"
rm "$first/kelmo.vx_"
expect "an error exits 2" 2 'error   line 39 .*kelmo.vx_ is not in the set' "$checker" "$first" "$work/set/disk2"
expect "a missing folder" 2 "setupcheck: not a folder: $work/none" "$checker" "$work/none"
rm "$first/setup.dat"
expect "a set without setup.dat" 2 "setupcheck: no setup.dat in $first" "$checker" "$first"
expect "an unknown option" 2 "usage: setupcheck" "$checker" --fast "$first"
expect "an unknown code page" 2 "setupcheck: code page 1251 is not known: the code pages known are 1252, 932, 936, 949, 950" \
  "$checker" --codepage 1251 "$first"

[ $failures = 0 ] && echo "setupcheck: all checks passed"
