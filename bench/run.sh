#!/usr/bin/env bash
# Builds Zorvane.exe with the benchmark programs in a build tree of their own (build/bench,
# tests off) and measures it against its targets. Prints the table and writes it to
# build/bench/results.txt. Arguments go to bench/bench.py (e.g. --sync-rounds 10).
set -euo pipefail
ZORVANE_BUILD_DIR="${ZORVANE_BENCH_BUILD_DIR:-$(cd "$(dirname "$0")/.." && pwd)/build/bench}"
export ZORVANE_BUILD_DIR
source "$(dirname "$0")/../scripts/common.sh"
zorvane_setup
zorvane_build -DZORVANE_TESTS=OFF -DZORVANE_BENCH=ON
zorvane_wine_env
STRIP=$(grep -E '^CMAKE_STRIP:' "$BUILD_DIR/CMakeCache.txt" | cut -d= -f2)

# Also starts the prefix's server ahead, so no program pays for starting it.
bash "$ROOT/scripts/wine-prefix.sh"
cleanup() { wineserver -k 2>/dev/null || true; }
trap cleanup EXIT

bench=(python3 "$ROOT/bench/bench.py"
  --zorvane "$BUILD_DIR/Zorvane.exe" --floor "$BUILD_DIR/bench/Floor.exe"
  --floor2 "$BUILD_DIR/bench/Floor2.exe" --floor3 "$BUILD_DIR/bench/Floor3.exe"
  --driver "$BUILD_DIR/bench/BenchDriver.exe" --hostile-xml "$BUILD_DIR/bench/HostileXml.exe"
  --marked-xml "$BUILD_DIR/bench/MarkedXml.exe"
  --strip "$STRIP"
  --work "$BUILD_DIR/work" --results "$BUILD_DIR/results.txt" "$@")
zorvane_on_display "${bench[@]}"
echo "Results written to $BUILD_DIR/results.txt"
