#!/usr/bin/env python3
"""Writes the release zip and its SHA256SUMS. The zip's bytes depend only on the files: fixed
order, fixed times and attributes. Text files become UTF-8 with a byte-order mark and CRLF line
ends, which Notepad on Windows 7 reads.

usage: make-zip.py <zip> <sums> <yyyy-mm-dd> <file>... (a .txt file is converted)"""
import hashlib
import os
import sys
import zipfile


def contents(path):
    with open(path, "rb") as f:
        data = f.read()
    if path.endswith(".txt"):
        data = b"\xef\xbb\xbf" + data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    return data


def main(zip_path, sums_path, date, *files):
    when = tuple(int(part) for part in date.split("-")) + (0, 0, 0)
    with zipfile.ZipFile(zip_path + ".new", "w") as archive:
        for path in files:
            entry = zipfile.ZipInfo(os.path.basename(path), date_time=when)
            entry.create_system = 0  # MS-DOS attributes, as Windows writes them
            entry.external_attr = 0x20  # archive
            entry.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(entry, contents(path), compresslevel=9)
    os.replace(zip_path + ".new", zip_path)
    with open(zip_path, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    with open(sums_path, "w") as f:
        f.write("%s  %s\n" % (digest, os.path.basename(zip_path)))


if __name__ == "__main__":
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
