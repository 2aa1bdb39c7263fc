#!/usr/bin/env bash
# Builds Zorvane and its tests and runs every test under Wine; non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
zorvane_setup
zorvane_build
cd "$BUILD_DIR"
if [ -n "${DISPLAY:-}" ]; then
  ctest --output-on-failure -j"$(nproc)" "$@"
else
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j"$(nproc)" "$@"
fi
