#!/usr/bin/env bash
# The release zip holds the three files with the release date's time, matches its SHA256SUMS,
# and its executable carries no link time and no folder of the machine that built it.
set -euo pipefail
: "${ZORVANE_BUILD_DIR:?}" "${ZORVANE_SOURCE_DIR:?}"

dist="$ZORVANE_BUILD_DIR/dist"
(cd "$dist" && sha256sum -c SHA256SUMS)
zip=$(ls "$dist"/Zorvane-*-win32.zip)
libxml2=$(sed -n 's/^LIBXML2_PREFIX:PATH=//p' "$ZORVANE_BUILD_DIR/CMakeCache.txt")
date=$(sed -n 's/^set(ZORVANE_RELEASE_DATE \([0-9-]*\)).*/\1/p' "$ZORVANE_SOURCE_DIR/cmake/package.cmake")
python3 - "$zip" "$date" "$ZORVANE_SOURCE_DIR" "$ZORVANE_BUILD_DIR" "$(dirname "$libxml2")" <<'PY'
import re, struct, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    names = archive.namelist()
    if names != ["Zorvane.exe", "Zorvane-help.html", "README.txt"]:
        sys.exit(f"unexpected entries {names}")
    release = tuple(int(part) for part in sys.argv[2].split("-")) + (0, 0, 0)
    stamped = [(e.filename, e.date_time, e.external_attr) for e in archive.infolist()
               if (e.date_time, e.external_attr) != (release, 0x20)]
    if stamped:
        sys.exit(f"entries without the release date's time and the archive attribute: {stamped}")
    image = archive.read("Zorvane.exe")
    note = archive.read("README.txt")
if not note.startswith(b"\xef\xbb\xbf") or note.count(b"\n") != note.count(b"\r\n"):
    sys.exit("README.txt is not UTF-8 with a byte-order mark and CRLF line ends")
header = struct.unpack_from("<I", image, 0x3C)[0]
stamp = struct.unpack_from("<I", image, header + 8)[0]
print(f"PE header time stamp: {stamp}")
if image[header:header + 4] != b"PE\0\0" or stamp != 0:
    sys.exit("the executable carries a link time")
# The folders of this build, and any absolute path of a source file.
texts = [t.decode() for t in re.findall(rb"[\x20-\x7e]{4,}", image)]
found = [t for t in texts if any(folder in t for folder in sys.argv[3:])
         or re.match(r"/.*\.(c|cc|cpp|h)$", t)]
if found:
    sys.exit("build folders in the packaged executable: " + ", ".join(found))
print("no time stamp and no build folder in the packaged executable")
PY
