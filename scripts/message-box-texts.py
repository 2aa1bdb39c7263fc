#!/usr/bin/env python3
"""Reads a Wine program's error output, run with WINEDEBUG=trace+msgbox: prints the text of each
message box that Wine traced (L"..." with \\xxxx for characters beyond ASCII) to standard
output, and passes every other line on to standard error."""
import re
import sys

ESCAPES = {"n": "\n", "r": "", "t": "\t"}


def unescaped(match):
    code = match[1]
    return chr(int(code.lstrip("x"), 16)) if len(code) > 1 else ESCAPES.get(code, code)


sys.stdin.reconfigure(errors="replace")
for line in sys.stdin:
    box = re.search(r'trace:msgbox:MSGBOX_OnInit L"(.*)"', line)
    if box:
        print("Message box: " + re.sub(r"\\(x[0-9a-f]{2}|[0-9a-f]{4}|.)", unescaped, box[1]).strip())
    else:
        sys.stderr.write(line)
