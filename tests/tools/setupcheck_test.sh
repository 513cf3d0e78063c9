#!/usr/bin/env bash
# setupcheck as a user runs it: the sample diskette made by make-diskette.sh,
# its exit codes, the JSON plan, and the refusals of what it cannot read.
set -uo pipefail
ROOT=$1
checker=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() {  # description command...
  if ! "${@:2}"; then echo "FAIL: $1"; failures=$((failures + 1)); fi
}

# exits CODE COMMAND...: runs the command, output kept in $work/out and $work/err.
exits() {
  local want=$1; shift
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" = "$want" ] || { echo "exit code $got, expected $want: $*"; cat "$work/err"; return 1; }
}

"$ROOT/tools/make-diskette.sh" "$work/set" >/dev/null
check "the sample set is clean" exits 0 "$checker" "$work/set"
check "the plan names the driver INF's place" grep -q 'A:\\kelmo.in_ -> C:\\WINDOWS\\inf\\oemkelmo.inf' "$work/out"

check "--json on the sample" exits 0 "$checker" --json --windows-dir 'D:\WIN95\' "$work/set"
check "the JSON plan parses and holds the plan" python3 - "$work/out" <<'PY'
import json, sys
plan = json.load(open(sys.argv[1]))
assert [f["installed"] for f in plan["files"]][:2] == ["oemkelmo.inf", "kelmotry.exe"], plan["files"]
assert plan["files"][1]["target"] == "D:\\WIN95\\kelmotry.exe", plan["files"][1]
assert plan["progress"]["final_position"] == 102 and plan["registry_applied"]
assert (plan["errors"], plan["warnings"], plan["findings"]) == (0, 0, [])
PY

sed -i 's/^SizeInKB=22/SizeInKB=30/' "$work/set/setup.dat"
check "a warning exits 1" exits 1 "$checker" "$work/set"
rm "$work/set/kelmo.vx_"
check "an error exits 2" exits 2 "$checker" "$work/set"
check "the error names its line" grep -q 'error   line 39 .*kelmo.vx_ is not in the set' "$work/out"

check "a missing folder is refused" exits 2 "$checker" "$work/none"
check "  with its reason" grep -q "setupcheck: not a folder: $work/none" "$work/err"
rm "$work/set/setup.dat"
check "a set without setup.dat is refused" exits 2 "$checker" "$work/set"
check "  with its reason" grep -q "setupcheck: no setup.dat in $work/set" "$work/err"
mkdir "$work/locked" && echo x >"$work/locked/setup.dat" && chmod 000 "$work/locked/setup.dat"
if [ "$(id -u)" != 0 ]; then
  check "an unreadable setup.dat is refused" exits 2 "$checker" "$work/locked"
fi
check "no folder is a usage error" exits 2 "$checker" --json
check "  with the usage" grep -q "usage: setupcheck" "$work/err"
check "an unknown option is a usage error" exits 2 "$checker" --fast "$work/set"

[ $failures = 0 ] && echo "setupcheck: all checks passed"
[ $failures = 0 ]
