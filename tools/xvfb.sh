#!/usr/bin/env bash
# xvfb.sh start FILE: starts Xvfb on a free display and writes "DISPLAY PID"
# into FILE. xvfb.sh stop FILE: stops it.
set -euo pipefail
case "${1:-}" in
  start)
    for n in $(seq 90 140); do
      [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      pid=$!
      for _ in $(seq 1 50); do
        if xdpyinfo -display ":$n" >/dev/null 2>&1; then
          echo ":$n $pid" > "$2"
          exit 0
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
      kill "$pid" 2>/dev/null || true
    done
    echo "could not start Xvfb" >&2
    exit 1 ;;
  stop)
    [ -f "$2" ] || exit 0
    read -r _ pid < "$2" || true
    kill "$pid" 2>/dev/null || true
    rm -f "$2" ;;
  *) echo "usage: xvfb.sh start|stop FILE" >&2; exit 2 ;;
esac
