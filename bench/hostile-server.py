#!/usr/bin/env python3
"""A loopback server that answers every request with one hostile reply.

Usage: hostile-server.py MODE PORT. MODE is gzip-bomb or deflate-bomb (1 GiB
of zeros compressed), header-flood (100,000 headers) or long-header (a
100 MiB header line). Prints "ready" once listening.
"""
import socket
import sys
import threading
import time
import zlib


def reply(mode):
    if mode in ("gzip-bomb", "deflate-bomb"):
        wbits, name = (31, b"gzip") if mode == "gzip-bomb" else (15, b"deflate")
        packer = zlib.compressobj(9, zlib.DEFLATED, wbits)
        body = packer.compress(b"\0" * (1 << 30)) + packer.flush()
        return (b"HTTP/1.1 200 OK\r\nContent-Encoding: %s\r\nContent-Length: %d\r\n"
                b"Connection: close\r\n\r\n" % (name, len(body))) + body
    if mode == "header-flood":
        return b"HTTP/1.1 200 OK\r\n" + b"".join(b"X-F%d: x\r\n" % i for i in range(100000))
    if mode == "long-header":
        return b"HTTP/1.1 200 OK\r\nX-Long: " + b"h" * (100 << 20)
    raise SystemExit("unknown mode " + mode)


def main():
    data = reply(sys.argv[1])
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", int(sys.argv[2])))
    server.listen(5)
    print("ready", flush=True)

    def serve(connection):
        try:
            connection.recv(65536)
            connection.sendall(data)
            time.sleep(10)
        except OSError:
            pass
        connection.close()

    while True:
        connection, _ = server.accept()
        threading.Thread(target=serve, args=(connection,), daemon=True).start()


if __name__ == "__main__":
    main()
