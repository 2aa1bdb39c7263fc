#!/usr/bin/env bash
# Builds Zorvane and the floors with the start-up trace switch (ZORVANE_TRACE=ON) in a build tree
# of their own (build/trace) and prints the median time of each start-up phase
# (bench/phases.py). Arguments go to phases.py (e.g. --rounds 20).
set -euo pipefail
ZORVANE_BUILD_DIR="${ZORVANE_TRACE_BUILD_DIR:-$(cd "$(dirname "$0")/.." && pwd)/build/trace}"
export ZORVANE_BUILD_DIR
source "$(dirname "$0")/../scripts/common.sh"
zorvane_setup
zorvane_build -DZORVANE_TESTS=OFF -DZORVANE_BENCH=ON -DZORVANE_TRACE=ON
zorvane_wine_env

# Also starts the prefix's server ahead, so no program pays for starting it.
bash "$ROOT/scripts/wine-prefix.sh"
cleanup() { wineserver -k 2>/dev/null || true; }
trap cleanup EXIT

phases=(python3 "$ROOT/bench/phases.py" --zorvane "$BUILD_DIR/Zorvane.exe"
  --floor2 "$BUILD_DIR/bench/Floor2.exe" --floor3 "$BUILD_DIR/bench/Floor3.exe"
  --driver "$BUILD_DIR/bench/BenchDriver.exe"
  --work "$BUILD_DIR/work" "$@")
zorvane_on_display "${phases[@]}"
