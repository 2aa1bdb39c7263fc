#!/usr/bin/env bash
# Builds the program (not its tests) and runs it under Wine; arguments go to the program.
# Without a display it runs under a virtual one, saves a screenshot and closes the window.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
zorvane_setup
zorvane_build_program
zorvane_wine_env
bash "$ROOT/scripts/wine-prefix.sh"
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$BUILD_DIR/Zorvane.exe" "$@"
fi
zorvane_on_display bash "$ROOT/scripts/run-headless.sh" "$BUILD_DIR" "$@"
