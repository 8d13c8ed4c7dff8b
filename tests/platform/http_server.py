#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A small HTTP server for the page fetch tests (standard library only).

Binds 127.0.0.1 on a free port and prints "PORT <n>" first. Every request is logged on
standard output as "REQ <path>" when it has been read and "END <path>" when its answer is
finished, so a test can see whether two fetches overlapped.

Routes answer with raw bytes, so headers are exactly what is written here.
"""

import socket
import socketserver
import sys
import threading
import time

PLAIN = b"<html><body><LineStart>a</LineEnd>junk<LineStart>b</LineEnd></body></html>\n"
SJIS = "<p>日本語のページ ソ 表 予定</p>\r\n".encode("cp932")

_log_lock = threading.Lock()


def log(text):
    with _log_lock:
        sys.stdout.write(text + "\n")
        sys.stdout.flush()


def response(status, body, headers=()):
    head = "HTTP/1.0 %s\r\n" % status
    for h in headers:
        head += h + "\r\n"
    return head.encode("latin-1") + b"\r\n" + body


def wait_for_close(sock):
    """Holds the connection until the client goes away (or a minute passes)."""
    sock.settimeout(60)
    try:
        while sock.recv(4096):
            pass
    except OSError:
        pass


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        sock = self.request
        raw = b""
        while b"\r\n\r\n" not in raw:
            chunk = sock.recv(4096)
            if not chunk:
                return
            raw += chunk
        parts = raw.split(b"\r\n", 1)[0].split(b" ")
        path = parts[1].decode("latin-1") if len(parts) > 1 else ""
        log("REQ " + path)
        try:
            self.route(sock, path, raw)
        except OSError:
            pass
        # Logged before the close, so the client cannot start its next fetch before this line.
        log("END " + path)
        try:
            sock.shutdown(socket.SHUT_WR)
        except OSError:
            pass

    def route(self, sock, path, raw):
        port = self.server.server_address[1]
        if path == "/plain":
            sock.sendall(response("200 OK", PLAIN, ["Content-Type: text/html"]))
        elif path == "/sjis":
            sock.sendall(response("200 OK", SJIS, ["Content-Type: text/html; charset=Shift_JIS"]))
        elif path == "/bytes":
            sock.sendall(response("200 OK", bytes(range(256))))
        elif path == "/lf":
            sock.sendall(b"HTTP/1.0 200 OK\nContent-Type: text/plain\n\nbare line ends\n")
        elif path == "/missing":
            sock.sendall(response("404 Not Found", b"<h1>Not here</h1>"))
        elif path == "/redirect":
            sock.sendall(response("302 Found", b"moved", ["Location: /plain"]))
        elif path == "/redirect-abs":
            sock.sendall(response("301 Moved Permanently", b"",
                                  ["Location: http://127.0.0.1:%d/sjis" % port]))
        elif path == "/dir/jump":
            sock.sendall(response("300 Multiple Choices", b"", ["Location: landing"]))
        elif path == "/dir/landing":
            sock.sendall(response("200 OK", b"landed in dir"))
        elif path == "/redirect-https":
            sock.sendall(response("302 Found", b"", ["Location: https://127.0.0.1/plain"]))
        elif path == "/loop":
            sock.sendall(response("302 Found", b"", ["Location: /loop"]))
        elif path == "/see-other":
            # 303 is not one of the followed codes: its body is the page.
            sock.sendall(response("303 See Other", b"see body", ["Location: /plain"]))
        elif path == "/length":
            sock.sendall(response("200 OK", b"hello", ["Content-Length: 5"]))
            wait_for_close(sock)
        elif path == "/truncated":
            sock.sendall(response("200 OK", b"0123456789", ["Content-Length: 100"]))
        elif path == "/garbage":
            sock.sendall(b"SSH-2.0-nothing-like-http\r\n\r\n")
        elif path == "/empty":
            pass
        elif path == "/silent":
            wait_for_close(sock)
        elif path == "/endless":
            sock.sendall(response("200 OK", b"", ["Content-Type: text/plain"]))
            block = b"x" * 65536
            while True:
                sock.sendall(block)
        elif path == "/slow":
            sock.sendall(response("200 OK", b"slow start|"))
            time.sleep(0.4)
            sock.sendall(b"slow end")
        elif path.startswith("/echo"):
            sock.sendall(response("200 OK", raw))
        else:
            sock.sendall(response("404 Not Found", b""))


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


def main():
    with Server(("127.0.0.1", 0), Handler) as server:
        log("PORT %d" % server.server_address[1])
        server.serve_forever()


if __name__ == "__main__":
    main()
