#!/usr/bin/env bash
# The sources stand on four floors, from the bottom: the shared headers src/*.h;
# src/framework; src/ohui, src/config and src/timesync side by side; src/app. A file includes
# its own floor and those below it, never one above.
set -euo pipefail
: "${ZORVANE_SOURCE_DIR:?}"
cd "$ZORVANE_SOURCE_DIR/src"

floor_names=("the shared headers" framework "ohui, config, timesync" app)
floor_of() {  # a path under src/ -> its floor's number, or nothing when it stands on none
  case "$1" in
    framework/*) echo 1 ;;
    ohui/* | config/* | timesync/*) echo 2 ;;
    app/*) echo 3 ;;
    */*) ;;
    *) echo 0 ;;
  esac
}
describe() { echo "${floor_names[$1]} (floor $1)"; }

failures=0
checked=0
while IFS=: read -r file line text; do
  included=$(sed 's/^[^"]*"\([^"]*\)".*/\1/' <<<"$text")
  where="src/$file:$line: #include \"$included\""
  # The compiler looks beside the including file first, then in src/.
  [ -e "$(dirname "$file")/$included" ] && [[ "$included" != */* ]] &&
    included="$(dirname "$file")/$included"
  from=$(floor_of "$file")
  to=$(floor_of "$included")
  checked=$((checked + 1))
  if [ -z "$from" ] || [ -z "$to" ]; then
    echo "FAIL: $where: src/$([ -z "$from" ] && echo "$file" || echo "$included") stands on no floor"
  elif [ "$to" -gt "$from" ]; then
    echo "FAIL: $where: $(describe "$from") may not include $(describe "$to")"
  else
    continue
  fi
  failures=$((failures + 1))
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' -- *)

echo "$checked includes checked"
[ "$checked" -gt 0 ] && [ "$failures" -eq 0 ]
