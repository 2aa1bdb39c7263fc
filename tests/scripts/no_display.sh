#!/usr/bin/env bash
# Without a display Wine creates no window at all: the program must end (exit code 1)
# instead of waiting in its message loop for events that can never come.
set -euo pipefail
: "${ZORVANE_EXE:?}" "${ZORVANE_BUILD_DIR:?}"

work=$(mktemp -d "$ZORVANE_BUILD_DIR/no_display.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$ZORVANE_EXE" "$work/Zorvane.exe"
cd "$work"

for arguments in "" "/ip 127.0.2.1"; do
  set +e
  # shellcheck disable=SC2086
  env -u DISPLAY timeout 60 wine ./Zorvane.exe $arguments
  code=$?
  set -e
  echo "without a display, Zorvane.exe $arguments exited with $code"
  [ "$code" -eq 1 ] || exit 1
done
