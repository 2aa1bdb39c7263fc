#!/usr/bin/env bash
# Builds the release package twice, from two fresh clones of the current commit in folders of
# different names, one after the other, and compares the executables and zips byte for byte.
# Uncommitted changes are not part of it. Non-zero when they differ.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work=$(mktemp -d "${TMPDIR:-/tmp}/zorvane-repro.XXXXXX")
trap 'rm -rf "$work"' EXIT
commit=$(git -C "$ROOT" rev-parse HEAD)
# Every object compiled afresh: a compiler cache could hide a difference.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
echo "Commit $commit"

build() {  # folder
  git clone -q --no-local "$ROOT" "$1"
  git -C "$1" checkout -q "$commit"
  "$1/scripts/package.sh" >"$1.log" 2>&1 || { tail -n 30 "$1.log"; exit 1; }
  sha256sum "$1"/build/package/Zorvane.exe "$1"/build/dist/Zorvane-*-win32.zip
}

build "$work/first"
# Different seconds for anything that reads the clock.
sleep 2
build "$work/second-clone"

zip=$(basename "$work"/first/build/dist/Zorvane-*-win32.zip)
status=0
for file in package/Zorvane.exe "dist/$zip" dist/SHA256SUMS; do
  if cmp -s "$work/first/build/$file" "$work/second-clone/build/$file"; then
    echo "same: $file"
  else
    echo "DIFFERENT: $file"
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "The package is reproducible."
exit "$status"
