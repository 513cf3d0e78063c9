#!/usr/bin/env bash
# setupcheck as a user runs it: exit codes, the JSON plan, the refusals.
set -uo pipefail
ROOT=$1
checker=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect DESCRIPTION CODE PATTERN ARGUMENTS...: setupcheck exits with CODE and
# its output or errors match PATTERN.
expect() {
  local description=$1 want=$2 pattern=$3; shift 3
  "$checker" "$@" >"$work/out" 2>&1
  local got=$?
  [ "$got" = "$want" ] && grep -q -- "$pattern" "$work/out" && return
  echo "FAIL: $description: exit code $got, expected $want; output:"; cat "$work/out"
  failures=$((failures + 1))
}

"$ROOT/tools/make-diskette.sh" "$work/set" >/dev/null
first="$work/set/disk1"
expect "the sample's two diskettes are clean" 0 '"errors": 0, "warnings": 0' \
  --json --windows-dir 'D:\WIN95\' "$first" "$work/set/disk2"
python3 -c 'import json, sys; plan = json.load(open(sys.argv[1]))
assert plan["files"][1]["target"] == "D:\\WIN95\\kelmotry.exe"
assert plan["files"][6]["prompt"].endswith("Disk 2 into A:")' "$work/out" ||
  { echo "FAIL: the JSON plan does not parse or lacks a target or prompt"; failures=$((failures + 1)); }
sed -i 's/^SizeInKB=22/SizeInKB=30/' "$first/setup.dat"
expect "a warning exits 1" 1 "warning line 12" "$first" "$work/set/disk2"
rm "$first/kelmo.vx_"
expect "an error exits 2" 2 'error   line 39 .*kelmo.vx_ is not in the set' "$first" "$work/set/disk2"
expect "a missing folder" 2 "setupcheck: not a folder: $work/none" "$work/none"
rm "$first/setup.dat"
expect "a set without setup.dat" 2 "setupcheck: no setup.dat in $first" "$first"
expect "an unknown option" 2 "usage: setupcheck" --fast "$first"

[ $failures = 0 ] && echo "setupcheck: all checks passed"
