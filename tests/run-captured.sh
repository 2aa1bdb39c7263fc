#!/usr/bin/env bash
# Runs a command with its output in a file and prints that once the command has ended.
# Wine processes that a test starts on demand (the desktop, for one) inherit its standard
# error and can outlive it; a pipe they held would keep CTest waiting for them.
set -u
output=$(mktemp)
trap 'rm -f "$output"' EXIT
"$@" >"$output" 2>&1
code=$?
cat "$output"
exit "$code"
