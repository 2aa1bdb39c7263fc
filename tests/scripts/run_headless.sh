#!/usr/bin/env bash
# ./run.sh on a machine without a display, with arguments: the run prints the text of each
# message box, answers the box nobody can see and ends with the program's own exit code, also
# when that is not 0, which its message-box filter would give. Wine's notice about the volume
# label of drive Z:, where the program lies here, is kept out.
set -euo pipefail
: "${ZORVANE_EXE:?}" "${ZORVANE_SOURCE_DIR:?}" "${ZORVANE_BUILD_DIR:?}"
source "$ZORVANE_SOURCE_DIR/scripts/common.sh"

work=$(mktemp -d "$ZORVANE_BUILD_DIR/run_headless.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$ZORVANE_EXE" "$work/Zorvane.exe"
# A prefix of its own: the run ends its prefix's Wine processes when it is done.
export WINEPREFIX="$ZORVANE_BUILD_DIR/wineprefix-headless"
unset DISPLAY

# The run's exit code, then the lines it must print; the arguments after "--" go to the program.
expect_run() {
  local code="$1"; shift
  local lines=()
  while [ "$1" != "--" ]; do lines+=("$1"); shift; done
  shift
  local output status=0
  output=$(zorvane_on_display timeout 300 bash "$ZORVANE_SOURCE_DIR/scripts/run-headless.sh" \
    "$work" "$@" 2>&1) || status=$?
  echo "$output"
  for line in "${lines[@]}" "Zorvane.exe exited with code $code"; do
    grep -qxF "$line" <<<"$output"
  done
  if grep -qF "FS volume label and serial are not available" <<<"$output"; then return 1; fi
  [ "$status" -eq "$code" ]
}

expect_run 0 'Message box: 用法: "Zorvane.exe" /ip 129.6.15.28' -- /ip
# Nothing listens on this loopback address: the sync fails at once, the program ends with 1.
expect_run 1 -- /ip 127.0.8.1
