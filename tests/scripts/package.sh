#!/usr/bin/env bash
# The release zip holds the three files, matches its SHA256SUMS, and its executable carries
# no link time and no folder of the machine that built it.
set -euo pipefail
: "${ZORVANE_BUILD_DIR:?}" "${ZORVANE_SOURCE_DIR:?}"

dist="$ZORVANE_BUILD_DIR/dist"
work=$(mktemp -d "$ZORVANE_BUILD_DIR/package.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$dist" && sha256sum -c SHA256SUMS)
zip=$(ls "$dist"/Zorvane-*-win32.zip)
python3 - "$zip" "$work" <<'PY'
import struct, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    names = archive.namelist()
    if names != ["Zorvane.exe", "Zorvane-help.html", "README.txt"]:
        sys.exit(f"unexpected entries {names}")
    archive.extractall(sys.argv[2])
    note = archive.read("README.txt")
if not note.startswith(b"\xef\xbb\xbf") or note.count(b"\n") != note.count(b"\r\n"):
    sys.exit("README.txt is not UTF-8 with a byte-order mark and CRLF line ends")
with open(sys.argv[2] + "/Zorvane.exe", "rb") as f:
    image = f.read()
header = struct.unpack_from("<I", image, 0x3C)[0]
stamp = struct.unpack_from("<I", image, header + 8)[0]
print(f"PE header time stamp: {stamp}")
if image[header:header + 4] != b"PE\0\0" or stamp != 0:
    sys.exit("the executable carries a link time")
PY

libxml2=$(sed -n 's/^LIBXML2_PREFIX:PATH=//p' "$ZORVANE_BUILD_DIR/CMakeCache.txt")
found=$(strings -a "$work/Zorvane.exe" |
  grep -F -e "$ZORVANE_SOURCE_DIR" -e "$ZORVANE_BUILD_DIR" -e "$(dirname "$libxml2")" || true)
found+=$(strings -a "$work/Zorvane.exe" | grep -E '^/.*\.(c|cc|cpp|h)$' || true)
if [ -n "$found" ]; then
  echo "build folders in the packaged executable:" >&2
  echo "$found" >&2
  exit 1
fi
echo "no time stamp and no build folder in $(basename "$zip")"
