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
  # A test program that died while a folder of its own was immutable (chattr +i,
  # tests/support/ImmutableFolder) left it so, and the build tree could not be removed.
  find "$WINEPREFIX/drive_c/users" -xdev -type d -name immutable -exec chattr -i {} + 2>/dev/null || true
  exit 0
fi

# The process id of the prefix's running Wine server, if any: the one working in the server
# folder that the prefix's "wineserver" file names.
running_server() {
  local tag folder pid
  tag=$(cat "$WINEPREFIX/wineserver" 2>/dev/null) || return 0
  # shellcheck disable=SC2046
  folder="/$tag/server-$(printf '%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))"
  for pid in /proc/[0-9]*; do
    pid=${pid#/proc/}
    case "$(cat "/proc/$pid/comm" 2>/dev/null) $(readlink "/proc/$pid/cwd" 2>/dev/null)" in
      "wineserver"*" "*"$folder") echo "$pid" ;;
    esac
  done
}

mkdir -p "$HOME"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
test -f "$WINEPREFIX/system.reg"
# Wine's own fonts (Marlett for the title-bar buttons, Tahoma, MS Sans Serif) come with
# fonts-wine, but Debian's Wine 8 looks for them in a folder it cannot resolve
# ("/usr/share/wine/../fonts"), so they are put where every Windows program finds its fonts.
for font in /usr/share/wine/fonts/*; do
  [ -e "$WINEPREFIX/drive_c/windows/Fonts/${font##*/}" ] || ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done
# Wine makes its sockets inside the server, in the network namespace the server started in.
# A server left running by an earlier run in another namespace (each test run may have a
# loopback of its own) would put this run's sockets there, so it is ended first.
for pid in $(running_server); do
  if [ "$(readlink "/proc/$pid/ns/net")" != "$(readlink /proc/self/ns/net)" ]; then
    echo "Ending the prefix's Wine server $pid, which runs in another network namespace."
    wineserver -k 2>/dev/null || true
    wineserver -w
  fi
done
setsid wineserver -p60 </dev/null >/dev/null 2>&1 || true
# The Windows version that Wine reports (win7, win10, ...); a setting of the whole prefix.
if [ -n "${ZORVANE_WINDOWS_VERSION:-}" ]; then
  wine reg add 'HKCU\Software\Wine' /v Version /d "$ZORVANE_WINDOWS_VERSION" /f </dev/null >/dev/null 2>&1
fi
# Wine waits up to two seconds for a window manager at every window it hides or closes, and a
# virtual display (Xvfb) has none: there Wine's windows are its own (unmanaged), which shows the
# same windows without the wait. With a window manager they are managed as usual.
if [ -n "${DISPLAY:-}" ]; then
  managed=N
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    managed=Y
  fi
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f </dev/null >/dev/null 2>&1
fi
setsid wineboot </dev/null >/dev/null 2>&1
if [ -n "${ZORVANE_WINDOWS_VERSION:-}" ]; then
  echo "$ZORVANE_WINDOWS_VERSION: $(wine cmd /c ver </dev/null 2>/dev/null | tr -d '\r' | grep .)"
fi
