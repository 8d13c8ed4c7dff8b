#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Serves the files of one folder over HTTP/1.0 on 127.0.0.1 (a free port), for the tests that
run whole page checks. Prints "PORT <n>" first; every file is sent as its bytes."""

import functools
import http.server
import sys


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    handler = functools.partial(Quiet, directory=sys.argv[1])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    sys.stdout.write("PORT %d\n" % server.server_address[1])
    sys.stdout.flush()
    server.serve_forever()


if __name__ == "__main__":
    main()
