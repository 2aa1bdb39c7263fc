#!/usr/bin/env bash
# Builds the release package build/dist/Zorvane-<version>-win32.zip and its SHA256SUMS
# (cmake/package.cmake); the tests are not built.
set -euo pipefail
source "$(dirname "$0")/common.sh"
zorvane_setup
zorvane_configure
cmake --build "$BUILD_DIR" -j"$(nproc)" --target dist
cat "$BUILD_DIR/dist/SHA256SUMS"
echo "Package written to $BUILD_DIR/dist"
