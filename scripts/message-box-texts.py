#!/usr/bin/env python3
"""Reads a Wine program's error output, run with WINEDEBUG=trace+msgbox: prints the text of each
message box that Wine traced (L"..." with \\xxxx for characters beyond ASCII) to standard
output, and passes every other line on to standard error but one notice of Wine's own (below)."""
import re
import sys

ESCAPES = {"n": "\n", "r": "", "t": "\t"}
# Printed whatever WINEDEBUG says when the shell, parsing the program's path on drive Z: (the
# Unix root), asks for that drive's volume label and Wine may not read the root's device:
# nothing the program did or can change.
VOLUME_LABEL_NOTICE = re.compile(
    r"wine: Read access denied for device .*, FS volume label and serial are not available\.")


def unescaped(match):
    code = match[1]
    return chr(int(code.lstrip("x"), 16)) if len(code) > 1 else ESCAPES.get(code, code)


sys.stdin.reconfigure(errors="replace")
for line in sys.stdin:
    box = re.search(r'trace:msgbox:MSGBOX_OnInit L"(.*)"', line)
    if box:
        print("Message box: " + re.sub(r"\\(x[0-9a-f]{2}|[0-9a-f]{4}|.)", unescaped, box[1]).strip())
    elif not VOLUME_LABEL_NOTICE.fullmatch(line.rstrip("\n")):
        sys.stderr.write(line)
