#!/usr/bin/env bash
# GUI mode sets the clock icon (resource 128) as the window's icon. Checked on the X side:
# Wine answers no WM_GETICON sent from another process, but it hands the window's big icon
# to X as _NET_WM_ICON (the small one is not passed on, so this sees the big icon only).
set -euo pipefail
: "${ZORVANE_EXE:?}" "${ZORVANE_BUILD_DIR:?}" "${ZORVANE_SOURCE_DIR:?}"
source "$ZORVANE_SOURCE_DIR/scripts/common.sh"
if [ -z "${DISPLAY:-}" ]; then
  zorvane_on_display bash "$0" "$@"
  exit
fi

work=$(mktemp -d "$ZORVANE_BUILD_DIR/gui_icon.XXXXXX")
pid=""
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

cp "$ZORVANE_EXE" "$work/Zorvane.exe"
(cd "$work" && exec wine ./Zorvane.exe) &
pid=$!

window=""
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  for candidate in $(xdotool search --onlyvisible --name '^Zorvane v1\.0$' 2>/dev/null); do
    [ "$(xdotool getwindowpid "$candidate" 2>/dev/null)" = "$pid" ] && window=$candidate
  done
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "no visible window titled 'Zorvane v1.0'" >&2; exit 1; }

# The window's icons as the list "width, height, ARGB pixels..., width, height, ...".
icons=""
for _ in $(seq 1 25); do
  icons=$(xprop -id "$window" -notype -f _NET_WM_ICON 32c '=$0+\n' _NET_WM_ICON 2>/dev/null |
          sed -n 's/^_NET_WM_ICON=//p')
  [ -n "$icons" ] && break
  sleep 0.2
done

python3 - "$ZORVANE_SOURCE_DIR/res/make_clock_icon.py" "$icons" <<'PY'
import importlib.util, sys
icon_module = importlib.util.spec_from_file_location("clock", sys.argv[1])
clock = importlib.util.module_from_spec(icon_module)
icon_module.loader.exec_module(clock)
argb = lambda rgb: 0xFF000000 | rgb[0] << 16 | rgb[1] << 8 | rgb[2]
face, rim = argb(clock.FACE), argb(clock.RIM)

values = [int(v) & 0xFFFFFFFF for v in sys.argv[2].replace(",", " ").split()]
images = []
i = 0
while i + 2 <= len(values):
    w, h = values[i], values[i + 1]
    images.append(((w, h), values[i + 2:i + 2 + w * h]))
    i += 2 + w * h
print("icon images on the window:", [size for size, _ in images])
# Without our icon the window class's own (the system's application icon) would show.
clocks = [size for size, pixels in images if face in pixels and rim in pixels]
if not images or len(clocks) != len(images):
    sys.exit("expected the clock icon, found %d images, %d clocks" % (len(images), len(clocks)))
PY
