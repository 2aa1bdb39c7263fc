#!/usr/bin/env bash
# Runs the program on a virtual display. With arguments it runs them, prints the text of each
# message box (the usage message) and answers it, as nobody can see it. Without, it shows the
# window on Wine's virtual desktop (title bar and icon), syncs once from a time server on
# 127.0.0.1, saves a screenshot of the window with its change report, then closes the window.
# Runs in the project's prefix (WINEPREFIX), whose processes it ends before the display goes.
set -u
BUILD_DIR="$1"; shift
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Wine's processes would otherwise lose the virtual display under them and say so.
trap 'wineserver -k 2>/dev/null; wineserver -w' EXIT

# Runs Zorvane.exe of the given folder there with the remaining arguments and sets code. Every
# box captioned with the program's name (its message boxes) is answered with Enter, and its text
# printed, since nobody can see it.
run_answering_boxes() {
  local folder="$1"; shift
  local errors; errors=$(mktemp)
  (cd "$folder" && WINEDEBUG=-all,trace+msgbox exec wine ./Zorvane.exe "$@") 2>"$errors" &
  local program=$!
  while kill -0 "$program" 2>/dev/null; do
    for box in $(xdotool search --onlyvisible --name '^Zorvane$' 2>/dev/null); do
      xdotool key --window "$box" Return 2>/dev/null
    done
    sleep 0.5
  done
  wait "$program"
  code=$?
  python3 "$ROOT/scripts/message-box-texts.py" <"$errors"
  rm -f "$errors"
}

if [ "$#" -gt 0 ]; then
  run_answering_boxes "$BUILD_DIR" "$@"
  echo "Zorvane.exe exited with code $code"
  exit "$code"
fi

SHOT="$BUILD_DIR/screenshot.png"
# A folder such as a user would choose, C:\Zorvane\ of the prefix.
DEMO="$WINEPREFIX/drive_c/Zorvane"
rm -rf "$DEMO" && mkdir -p "$DEMO"
cp "$BUILD_DIR/Zorvane.exe" "$BUILD_DIR/Zorvane-help.html" "$DEMO/"
# The program writes its default srv.xml (seven public servers) at any start; a start that
# only shows the usage message makes it. The local server goes in as the first row.
run_answering_boxes "$DEMO" /write-default-servers >/dev/null 2>&1
sed -i '0,/<srv>/s//<srv><url>localhost<\/url><ip>127.0.0.1<\/ip><\/srv>\n  <srv>/' "$DEMO/srv.xml"

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
