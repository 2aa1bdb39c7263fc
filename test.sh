#!/usr/bin/env bash
# Builds Zorvane and its tests and runs every test under Wine; non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
zorvane_setup
zorvane_build
cd "$BUILD_DIR"
zorvane_on_display ctest --output-on-failure -j"$(nproc)" "$@"
