#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Servers that misbehave, for the tests that the program stays bounded against them.

Binds 127.0.0.1 on a free port, prints "PORT <n>" first, then serves every connection on a
thread of its own in the mode given:

  smtp-endless-continuation   "220" greeting, then "250-..." continuation lines without end
                              as the answer to the first command
  smtp-endless-line           a greeting line that never ends (no LF)
  smtp-slow SECONDS           a well-formed SMTP server answering every command after SECONDS
  http-drip SECONDS           headers of a page, then one body byte every SECONDS, forever
  http-slow SECONDS FOLDER    the file of FOLDER named by the path, after SECONDS; prints
                              "REQ <path>" and "END <path>" on standard output
  rigctld-flood-bytes         after the first command line, bytes without a newline, forever
  rigctld-flood-lines         after the first command line, value lines without an RPRT, forever
  rigctld-drip-lines SECONDS  after the first command line, one value line every SECONDS

Every mode stops by itself after ten minutes.
"""

import os
import socket
import sys
import threading
import time

_log_lock = threading.Lock()


def log(text):
    with _log_lock:
        sys.stdout.write(text + "\n")
        sys.stdout.flush()


def read_line(sock, buf):
    while b"\n" not in buf[0]:
        chunk = sock.recv(4096)
        if not chunk:
            return None
        buf[0] += chunk
    line, buf[0] = buf[0].split(b"\n", 1)
    return line.rstrip(b"\r")


def smtp_endless_continuation(sock, args):
    sock.sendall(b"220 hostile ESMTP\r\n")
    buf = [b""]
    if read_line(sock, buf) is None:
        return
    line = b"250-" + b"X" * 200 + b"\r\n"
    block = line * 64
    while True:
        sock.sendall(block)


def smtp_endless_line(sock, args):
    block = b"220 " + b"Y" * 65536
    sock.sendall(block)
    block = b"Y" * 65536
    while True:
        sock.sendall(block)


def smtp_slow(sock, args):
    delay = float(args[0])
    time.sleep(delay)
    sock.sendall(b"220 slow ESMTP\r\n")
    buf = [b""]
    in_data = False
    while True:
        line = read_line(sock, buf)
        if line is None:
            return
        if in_data:
            if line == b".":
                in_data = False
                time.sleep(delay)
                sock.sendall(b"250 OK\r\n")
            continue
        time.sleep(delay)
        word = line.split(b" ")[0].upper()
        if word == b"DATA":
            in_data = True
            sock.sendall(b"354 go ahead\r\n")
        elif word == b"QUIT":
            sock.sendall(b"221 bye\r\n")
            return
        else:
            sock.sendall(b"250 OK\r\n")


def read_request(sock):
    raw = b""
    while b"\r\n\r\n" not in raw:
        chunk = sock.recv(4096)
        if not chunk:
            return None
        raw += chunk
    parts = raw.split(b"\r\n", 1)[0].split(b" ")
    return parts[1].decode("latin-1") if len(parts) > 1 else "/"


def http_drip(sock, args):
    delay = float(args[0])
    if read_request(sock) is None:
        return
    sock.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html>")
    while True:
        time.sleep(delay)
        sock.sendall(b"x")


def http_slow(sock, args):
    delay, folder = float(args[0]), args[1]
    path = read_request(sock)
    if path is None:
        return
    log("REQ " + path)
    time.sleep(delay)
    try:
        with open(os.path.join(folder, path.lstrip("/")), "rb") as f:
            body = f.read()
        sock.sendall(b"HTTP/1.0 200 OK\r\n\r\n" + body)
    except OSError:
        sock.sendall(b"HTTP/1.0 404 Not Found\r\n\r\n")
    log("END " + path)


def rigctld_flood(sock, block, delay=0.0):
    buf = [b""]
    if read_line(sock, buf) is None:
        return
    while True:
        sock.sendall(block)
        if delay:
            time.sleep(delay)


def rigctld_flood_bytes(sock, args):
    rigctld_flood(sock, b"7" * 65536)


def rigctld_flood_lines(sock, args):
    rigctld_flood(sock, b"Frequency: 7003500\n" * 4096)


def rigctld_drip_lines(sock, args):
    rigctld_flood(sock, b"Frequency: 7003500\n", float(args[0]))


MODES = {
    "rigctld-flood-bytes": rigctld_flood_bytes,
    "rigctld-flood-lines": rigctld_flood_lines,
    "rigctld-drip-lines": rigctld_drip_lines,
    "smtp-endless-continuation": smtp_endless_continuation,
    "smtp-endless-line": smtp_endless_line,
    "smtp-slow": smtp_slow,
    "http-drip": http_drip,
    "http-slow": http_slow,
}


def serve(conn, mode, args):
    with conn:
        try:
            MODES[mode](conn, args)
        except OSError:
            pass


def main():
    mode, args = sys.argv[1], sys.argv[2:]
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(16)
    log("PORT %d" % server.getsockname()[1])
    threading.Timer(600, lambda: os._exit(0)).start()
    while True:
        conn, _ = server.accept()
        threading.Thread(target=serve, args=(conn, mode, args), daemon=True).start()


if __name__ == "__main__":
    main()
