#!/usr/bin/env bash
# Runs the program on a virtual display. With arguments it just runs them. Without, it shows
# the window on Wine's virtual desktop (title bar and icon), syncs once from a time server on
# 127.0.0.1, saves a screenshot of the window with its change report, then closes the window.
# Runs in the project's prefix (WINEPREFIX), whose processes it ends before the display goes.
set -u
BUILD_DIR="$1"; shift
# Wine's processes would otherwise lose the virtual display under them and say so.
trap 'wineserver -k 2>/dev/null; wineserver -w' EXIT
if [ "$#" -gt 0 ]; then
  wine "$BUILD_DIR/Zorvane.exe" "$@"
  code=$?
  echo "Zorvane.exe exited with code $code"
  exit "$code"
fi

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SHOT="$BUILD_DIR/screenshot.png"
# A folder such as a user would choose, C:\Zorvane\ of the prefix.
DEMO="$WINEPREFIX/drive_c/Zorvane"
rm -rf "$DEMO" && mkdir -p "$DEMO"
cp "$BUILD_DIR/Zorvane.exe" "$BUILD_DIR/Zorvane-help.html" "$DEMO/"
# The local server first, then the seven public ones the program writes by itself.
cat >"$DEMO/srv.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<srv_root>
  <cfg>
    <autorun><![CDATA[]]></autorun>
  </cfg>
  <srv><url>localhost</url><ip>127.0.0.1</ip></srv>
  <srv><url>time-a-g.nist.gov</url><ip>129.6.15.28</ip></srv>
  <srv><url>time-b-g.nist.gov</url><ip>129.6.15.29</ip></srv>
  <srv><url>time-c-g.nist.gov</url><ip>129.6.15.30</ip></srv>
  <srv><url>time-a-wwv.nist.gov</url><ip>132.163.97.1</ip></srv>
  <srv><url>time-b-wwv.nist.gov</url><ip>132.163.97.2</ip></srv>
  <srv><url>time-a-b.nist.gov</url><ip>132.163.96.1</ip></srv>
  <srv><url>time-b-b.nist.gov</url><ip>132.163.96.2</ip></srv>
</srv_root>
XML

server=""
if ss -Hltn 'sport = :37' 2>/dev/null | grep -qE '(127\.0\.0\.1|\*|0\.0\.0\.0):37 '; then
  echo "Port 37 on 127.0.0.1 is served already; the demonstration syncs from that server."
else
  python3 "$ROOT/scripts/local-time-server.py" &
  server=$!
fi

cd "$DEMO"
wine explorer /desktop=Zorvane,760x460 Zorvane.exe &
desktop=$!
window=""
for _ in $(seq 1 100); do
  kill -0 "$desktop" 2>/dev/null || break
  window=$(xdotool search --onlyvisible --name '^Zorvane v1\.0$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -n "$window" ]; then
  sleep 1
  # A double-click on the first row (localhost) starts the sync.
  xdotool mousemove --window "$window" 60 50 click --repeat 2 --delay 80 1
  sleep 3
  import -window root -crop 760x460+0+0 "$SHOT"
  echo "Screenshot of the window: $SHOT"
  # Alt+F4 closes the window as a user would; the desktop ends with its last program.
  xdotool key alt+F4
fi
wait "$desktop"
code=$?
[ -n "$server" ] && kill "$server" 2>/dev/null
wait 2>/dev/null
echo "The window was closed (Wine's desktop ended with code $code)."
exit "$code"
