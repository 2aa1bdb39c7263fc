#!/usr/bin/env bash
# The program against a real RFC 868 peer: xinetd's built-in time service on 127.0.0.1:37.
# Zorvane.exe /ip 127.0.0.1 must end by itself with exit code 0, and the value that a sync
# from the window shows in its log box must agree with rdate's answer within one second.
set -euo pipefail
: "${ZORVANE_EXE:?}" "${ZORVANE_BUILD_DIR:?}" "${ZORVANE_SOURCE_DIR:?}"
source "$ZORVANE_SOURCE_DIR/scripts/common.sh"

work=$(mktemp -d "$ZORVANE_BUILD_DIR/xinetd_peer.XXXXXX")
xinetd_pid=""
cleanup() {
  if [ -n "$xinetd_pid" ]; then
    kill "$xinetd_pid" 2>/dev/null || true
    wait "$xinetd_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/xinetd.conf" <<CONF
service time
{
    disable     = no
    type        = INTERNAL
    id          = time-stream
    socket_type = stream
    protocol    = tcp
    wait        = no
    user        = root
    port        = 37
    bind        = 127.0.0.1
}
CONF

port_holder() {
  ss -Hltnp 'sport = :37' 2>/dev/null | grep -E '(127\.0\.0\.1|\*|0\.0\.0\.0):37 ' || true
}

# Port 37 taken by anything else (a time service of the machine's own) is not ours to stop.
holder=$(port_holder)
if [ -n "$holder" ]; then
  echo "port 37 on 127.0.0.1 is already taken, so our xinetd cannot serve there:" >&2
  echo "$holder" >&2
  exit 1
fi

xinetd -f "$work/xinetd.conf" -dontfork -pidfile "$work/xinetd.pid" &
xinetd_pid=$!

answered=""
for _ in $(seq 1 50); do
  if rdate -p 127.0.0.1 >"$work/rdate.out" 2>&1; then
    answered=yes
    break
  fi
  kill -0 "$xinetd_pid" 2>/dev/null || break
  sleep 0.2
done
if [ -z "$answered" ]; then
  echo "xinetd's time service did not answer on 127.0.0.1:37" >&2
  port_holder >&2
  exit 1
fi
echo "rdate: $(cat "$work/rdate.out")"

mkdir "$work/app"
cp "$ZORVANE_EXE" "$work/app/Zorvane.exe"
cd "$work/app"
start=$(date +%s)
set +e
zorvane_on_display timeout 60 wine ./Zorvane.exe /ip 127.0.0.1
code=$?
set -e
echo "Zorvane.exe /ip 127.0.0.1 exited with $code after $(( $(date +%s) - start )) s"
[ "$code" -eq 0 ]

# The window: the UI test writes "<value in the log box> <its clock then>", both since 1900.
out="$work/real_peer.txt"
zorvane_on_display env ZORVANE_REAL_PEER_OUT="$out" timeout 120 wine \
  "$ZORVANE_BUILD_DIR/tests/test_app.exe" --gtest_filter=MainWindowUi.RealPeerValueIsTheCurrentTime
rdate_line=$(rdate -p 127.0.0.1)
rdate_clock=$(date +%s)
read -r log_value log_clock < <(tr -d '\r' <"$out")
rdate_value=$(date -d "$(printf '%s\n' "$rdate_line" | sed 's/^[^]]*][[:space:]]*//')" +%s)
# Both answers relative to the clock that read them, in seconds since 1970.
log_offset=$(( log_value - log_clock ))
rdate_offset=$(( rdate_value - rdate_clock ))
echo "log box value $log_value (offset $log_offset s); rdate: $rdate_line (offset $rdate_offset s)"
difference=$(( log_offset - rdate_offset ))
[ "${difference#-}" -le 1 ]
