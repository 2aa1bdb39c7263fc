#!/usr/bin/env bash
# ./run.sh on a machine without a display, with arguments that show the usage message: the
# run prints the message, answers the box nobody can see and ends with the program's code 0.
set -euo pipefail
: "${ZORVANE_EXE:?}" "${ZORVANE_SOURCE_DIR:?}" "${ZORVANE_BUILD_DIR:?}"
source "$ZORVANE_SOURCE_DIR/scripts/common.sh"

work=$(mktemp -d "$ZORVANE_BUILD_DIR/run_headless.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$ZORVANE_EXE" "$work/Zorvane.exe"
# A prefix of its own: the run ends its prefix's Wine processes when it is done.
export WINEPREFIX="$ZORVANE_BUILD_DIR/wineprefix-headless"
unset DISPLAY
output=$(zorvane_on_display timeout 300 bash "$ZORVANE_SOURCE_DIR/scripts/run-headless.sh" "$work" /ip)
echo "$output"
grep -qxF 'Message box: 用法: "Zorvane.exe" /ip 129.6.15.28' <<<"$output"
grep -qxF 'Zorvane.exe exited with code 0' <<<"$output"
