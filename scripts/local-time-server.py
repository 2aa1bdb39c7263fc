#!/usr/bin/env python3
"""A one-shot RFC 868 time server on 127.0.0.1:37 for the demonstration run.

Serves one connection with the current second, sent early in a second so that the
client's clock, set to that whole second, moves by less than half a second.
"""
import socket
import struct
import sys
import time

SECONDS_1900_TO_1970 = 2208988800

def main():
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    try:
        listener.bind(("127.0.0.1", 37))
    except OSError as error:
        print(f"local time server: cannot listen on 127.0.0.1:37 ({error})", file=sys.stderr)
        return 1
    listener.listen(1)
    listener.settimeout(60)
    connection, _ = listener.accept()
    while time.time() % 1 > 0.2:
        time.sleep(0.01)
    connection.sendall(struct.pack("!I", int(time.time()) + SECONDS_1900_TO_1970))
    connection.close()
    return 0

if __name__ == "__main__":
    sys.exit(main())
