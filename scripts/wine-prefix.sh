#!/usr/bin/env bash
# Creates (or brings up to date) the Wine prefix named by WINEPREFIX, then starts its Wine
# server and system processes for the whole test run, detached from every test's output:
# a server that a test started would hold that test's output open until the server ended.
# The server ends a minute after the last program, or at `wine-prefix.sh --stop`.
set -eu
: "${WINEPREFIX:?WINEPREFIX must be set}"
if [ "${1:-}" = "--stop" ]; then
  wineserver -k 2>/dev/null || true
  wineserver -w
  exit 0
fi
mkdir -p "$HOME"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
test -f "$WINEPREFIX/system.reg"
# A server already running for the prefix (an earlier run's, still waiting) is kept.
setsid wineserver -p60 </dev/null >/dev/null 2>&1 || true
setsid wineboot </dev/null >/dev/null 2>&1
