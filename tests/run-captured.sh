#!/usr/bin/env bash
# Runs a command with its output in a file, which a reader copies to this script's output as
# it grows until the script has ended. Wine processes that a test starts on demand (the
# desktop, for one) inherit its standard error and can outlive it; a pipe they held would
# keep CTest waiting for them. A run that CTest kills at its time-out has printed what it had.
set -u
output=$(mktemp)
trap 'rm -f "$output"' EXIT
tail -n +1 -s 0.2 -f --pid=$$ "$output" &
"$@" >"$output" 2>&1
