# What the command-line tests share; sourced with the checkout's root as $1.
# Each test works in its own temporary folder and counts its failures.
set -uo pipefail
ROOT=$1
export MTOOLS_SKIP_CHECK=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() {  # description command...
  if ! "${@:2}"; then echo "FAIL: $1"; failures=$((failures + 1)); fi
}

# expect DESCRIPTION CODE PATTERN PROGRAM ARGUMENTS...: the program exits with
# CODE and its output or errors match PATTERN.
expect() {
  local description=$1 want=$2 pattern=$3; shift 3
  "$@" >"$work/out" 2>&1
  local got=$?
  [ "$got" = "$want" ] && grep -q -- "$pattern" "$work/out" && return
  echo "FAIL: $description: exit code $got, expected $want; output:"; cat "$work/out"
  failures=$((failures + 1))
}
