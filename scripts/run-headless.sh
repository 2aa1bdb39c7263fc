#!/usr/bin/env bash
# Runs the program on a virtual display, saves a screenshot of its window, then closes it.
set -u
BUILD_DIR="$1"; shift
SHOT="$BUILD_DIR/screenshot.png"
wine "$BUILD_DIR/Zorvane.exe" "$@" &
pid=$!
window=""
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  window=$(xdotool search --onlyvisible --name '^Zorvane v1\.0$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -n "$window" ]; then
  sleep 1
  import -window root -crop 760x470+0+0 "$SHOT"
  echo "Screenshot of the window: $SHOT"
  wine taskkill /im Zorvane.exe >/dev/null 2>&1
fi
wait "$pid"
code=$?
echo "Zorvane.exe exited with code $code"
exit "$code"
