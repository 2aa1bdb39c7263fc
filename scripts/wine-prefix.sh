#!/usr/bin/env bash
# Creates (or brings up to date) the Wine prefix named by WINEPREFIX and waits until it is ready.
set -eu
: "${WINEPREFIX:?WINEPREFIX must be set}"
mkdir -p "$HOME"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
fi
wineserver -w
test -f "$WINEPREFIX/system.reg"
