#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The web console's defences, against the real program: what a stranger without a login may
fetch, requests that change something without the session's token or from another site, the
lockout after five wrong passwords, a body over 1 MiB refused before it is read, paths that
would leave the page's own resources, and the refusal to listen beyond this machine without a
password.

Usage: web_guard_test.py PROGRAM"""
import os
import re
import socket
import ssl
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import station  # noqa: E402

PROGRAM = None


def raw_exchange(port, data, read_seconds=5):
    """Sends data as it stands and returns what comes back until the server closes."""
    s = socket.create_connection(("127.0.0.1", port), timeout=read_seconds)
    s.sendall(data)
    reply = b""
    try:
        while True:
            chunk = s.recv(65536)
            if not chunk:
                break
            reply += chunk
    except (socket.timeout, ConnectionResetError):
        pass
    s.close()
    return reply


def status_of(reply):
    return int(reply.split(b" ", 2)[1]) if reply.startswith(b"HTTP/1.") else 0


class GuardTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.station = station.Station(PROGRAM)

    @classmethod
    def tearDownClass(cls):
        cls.station.stop()

    def test_without_login_only_the_page_and_its_assets_are_served(self):
        api = station.Api(self.station.port)
        for path in ("/", "/index.html", "/app.js", "/style.css"):
            status, _, r = api.request("GET", path)
            self.assertEqual(status, 200, path)
            self.assertIn("script-src 'self'", r.getheader("Content-Security-Policy"))
            self.assertNotIn("unsafe-inline", r.getheader("Content-Security-Policy"))
        refused = [("GET", "/api/state", None), ("POST", "/api/check", {"page": 1}),
                   ("POST", "/api/console", {"line": "D LOG"}), ("POST", "/api/clear", {}),
                   ("POST", "/api/setup", {"settings": {"edtURL1": "http://evil/"}}),
                   ("GET", "/zeltaro.ini", None), ("GET", "/nothing", None)]
        for method, path, body in refused:
            status, _, _ = api.request(method, path, body)
            self.assertEqual(status, 401, path)
        # Nor does the live push open without a session.
        reply = raw_exchange(self.station.port,
                             b"GET /ws HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
                             b"Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                             b"Sec-WebSocket-Version: 13\r\n\r\n")
        self.assertEqual(status_of(reply), 401)
        # A made-up cookie is no session.
        api.cookie = "zeltaro_session=" + "0" * 64
        self.assertEqual(api.request("GET", "/api/state")[0], 401)

    def test_a_change_needs_the_sessions_token_and_this_site(self):
        api = station.Api(self.station.port)
        self.assertEqual(api.login(), 200)
        self.assertEqual(api.request("GET", "/api/state")[0], 200)
        before = api.request("GET", "/api/state")[1]["live"]["alert"]
        cases = [({}, False), ({"X-Zeltaro-Token": "0" * 64}, False),
                 ({"Origin": "http://evil.example"}, True)]
        for headers, with_token in cases:
            status, _, _ = api.request("POST", "/api/switch", {"name": "alert", "on": not before},
                                       headers=headers, token=with_token)
            self.assertEqual(status, 403, headers)
        self.assertEqual(api.request("GET", "/api/state")[1]["live"]["alert"], before)
        # Another session's token is not this session's.
        other = station.Api(self.station.port)
        self.assertEqual(other.login(), 200)
        status, _, _ = api.request("POST", "/api/switch", {"name": "alert", "on": not before},
                                   headers={"X-Zeltaro-Token": other.token}, token=False)
        self.assertEqual(status, 403)
        # With its own token the change is made.
        status, data, _ = api.request("POST", "/api/switch", {"name": "alert", "on": not before})
        self.assertEqual(status, 200)
        self.assertEqual(data["live"]["alert"], not before)
        # After logout the cookie opens nothing.
        self.assertEqual(api.request("POST", "/api/logout", {})[0], 200)
        self.assertEqual(api.request("GET", "/api/state")[0], 401)

    def test_a_body_over_one_mebibyte_is_refused_before_it_is_read(self):
        s = socket.create_connection(("127.0.0.1", self.station.port), timeout=5)
        s.sendall(b"POST /api/login HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
                  b"Content-Length: 2097152\r\n\r\n" + b"x" * 1000)
        started = time.monotonic()
        reply = s.recv(65536)
        elapsed = time.monotonic() - started
        s.close()
        # The answer comes while 2 MiB minus 1000 bytes are still unsent.
        self.assertEqual(status_of(reply), 413, reply)
        self.assertLess(elapsed, 2)
        # A body that does not say how long it is is refused too.
        reply = raw_exchange(self.station.port,
                             b"POST /api/login HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                             b"Transfer-Encoding: chunked\r\n\r\n1\r\nx\r\n0\r\n\r\n")
        self.assertEqual(status_of(reply), 411)
        # Header fields without end are cut off at their limit.
        reply = raw_exchange(self.station.port,
                             b"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Long: " + b"a" * 20000)
        self.assertEqual(status_of(reply), 431)

    def test_paths_that_leave_the_pages_resources_are_refused(self):
        api = station.Api(self.station.port)
        self.assertEqual(api.login(), 200)
        for path in (b"/../zeltaro.ini", b"/app.js/../../zeltaro.ini", b"/%2e%2e/zeltaro.ini",
                     b"/api%2fstate", b"/api%2Fstate", b"/..%2fzeltaro.ini", b"/app.js%00",
                     b"/a\\..\\zeltaro.ini", b"/%252e%252e/"):
            reply = raw_exchange(self.station.port,
                                 b"GET " + path + b" HTTP/1.1\r\nHost: 127.0.0.1\r\nCookie: " +
                                 api.cookie.encode() + b"\r\n\r\n")
            self.assertEqual(status_of(reply), 400, path)

    def test_zz_five_wrong_passwords_lock_the_address_out_for_a_minute(self):
        api = station.Api(self.station.port)
        statuses = [api.login("wrong-%d" % i) for i in range(5)]
        self.assertEqual(statuses, [401, 401, 401, 401, 429])
        # Even the right password is refused now.
        self.assertEqual(api.login(), 429)


class SetupTest(unittest.TestCase):
    """The page's settings go through the settings table, as the window's SAVE writes them."""

    def test_settings_saved_from_the_page_are_the_windows_and_the_password_stays_hidden(self):
        s = station.Station(PROGRAM)
        try:
            api = station.Api(s.port)
            self.assertEqual(api.login(), 200)
            settings = {"edtURL2": "http://spots.example.org/80m.html", "edtSmtp": "mail.example.org",
                        "edtSmtpPASS": "pa55", "chkAuth": True, "Memo_pcre": "<a>$#04</a>\n<b>$#05</b>",
                        "Edit1": "$#04 $#05", "StaticText2": "/home/op/hamlog", "ComboBox3": "/dev/ttyUSB0",
                        "edtFromName": "東京の局", "notASetting": "ignored"}
            status, data, _ = api.request("POST", "/api/setup", {"settings": settings})
            self.assertEqual(status, 200, data)
            self.assertTrue(data["saved"], data)
            with open(s.settings_path(), "rb") as f:
                saved = f.read().decode("cp932")
            for line in ("Url2=http://spots.example.org/80m.html", "Smtp=mail.example.org",
                         'Word="cGE1NQ=="', "Auth=1", "List=<a>$#04</a>\\r\\n<b>$#05</b>\\r\\n",
                         "Body=$#04 $#05", "HAMLOG2=/home/op/hamlog", 'Device="/dev/ttyUSB0"',
                         "Name=東京の局"):
                self.assertIn(line + "\r\n", saved)
            self.assertNotIn("notASetting", saved)
            self.assertNotIn("[Web]", saved)  # never turned on in the file: not written
            # The password is never sent back, only that there is one; a save without it keeps it.
            state = api.request("GET", "/api/state")[1]["setup"]
            self.assertNotIn("edtSmtpPASS", state)
            self.assertTrue(state["passwordSet"])
            self.assertEqual(state["edtFromName"], "東京の局")
            status, data, _ = api.request("POST", "/api/setup", {"settings": {"edtSmtp": "other.example.org"}})
            with open(s.settings_path(), "rb") as f:
                saved = f.read().decode("cp932")
            self.assertIn('Word="cGE1NQ=="\r\n', saved)
            self.assertIn("Smtp=other.example.org\r\n", saved)
            # The console box runs any console command and answers in UTF-8.
            status, data, _ = api.request("POST", "/api/console", {"line": "A 2 東京 FT8"})
            self.assertEqual(status, 200)
            self.assertIn("東京 FT8", data["reply"])
            self.assertIn("東京 FT8", api.request("GET", "/api/state")[1]["lists"][1]["text"])
        finally:
            s.stop()


class BindTest(unittest.TestCase):
    def test_without_a_password_only_this_machine_by_its_loopback_name_is_answered(self):
        s = station.Station(PROGRAM, args=("/web=on",))
        try:
            self.assertIn(b"web console at http://127.0.0.1:", s.stderr)
            api = station.Api(s.port)
            # A name of another site resolving to this machine (DNS rebinding) gets nothing.
            for path in ("/", "/api/state"):
                status, _, _ = api.request("GET", path, headers={"Host": "evil.example:%d" % s.port})
                self.assertEqual(status, 403, path)
            self.assertEqual(api.request("GET", "/")[0], 200)
            # No password is asked: an empty one opens the session.
            self.assertEqual(api.login(""), 200)
            self.assertEqual(api.request("GET", "/api/state")[0], 200)
        finally:
            s.stop()

    def test_no_password_and_an_address_beyond_this_machine_refuse_to_start(self):
        settings = b"[Web]\r\nOn=1\r\nBind=\"0.0.0.0\"\r\n"
        s = station.Station(PROGRAM, settings=settings, args=(), wait_for_web=False)
        try:
            found = s.wait_stderr(rb"zeltaro: web console not started[^\n]*\n", 20)
            self.assertIsNotNone(found, s.stderr)
            s.read_stderr(1)
            lines = [l for l in s.stderr.decode().splitlines() if "web console" in l]
            self.assertEqual(len(lines), 1, lines)
            self.assertIn("0.0.0.0", lines[0])
            self.assertIn("/pass=", lines[0])
            self.assertIsNone(s.process.poll())  # the station itself runs on
        finally:
            s.stop()
        # With a password it listens there.
        s = station.Station(PROGRAM, settings=settings, args=("/pass=" + station.PASSWORD,))
        try:
            self.assertIn(b"web console at http://0.0.0.0:", s.stderr)
        finally:
            s.stop()


class TlsTest(unittest.TestCase):
    def test_with_a_certificate_and_key_only_https_is_served(self):
        with tempfile.TemporaryDirectory() as d:
            cert, key = os.path.join(d, "cert.pem"), os.path.join(d, "key.pem")
            subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes",
                            "-keyout", key, "-out", cert, "-days", "1", "-subj", "/CN=127.0.0.1"],
                           check=True, capture_output=True)
            settings = ('[Web]\r\nOn=1\r\nCertFile="%s"\r\nKeyFile="%s"\r\n' % (cert, key)).encode()
            s = station.Station(PROGRAM, settings=settings, args=("/pass=" + station.PASSWORD,),
                                wait_for_web=False)
            try:
                found = s.wait_stderr(rb"web console at https://127\.0\.0\.1:(\d+)/", 20)
                self.assertIsNotNone(found, s.stderr)
                port = int(found.group(1))
                context = ssl.create_default_context()
                context.load_verify_locations(cert)
                context.check_hostname = False
                with socket.create_connection(("127.0.0.1", port), timeout=10) as raw:
                    with context.wrap_socket(raw) as tls:
                        body = b'{"password": "%s"}' % station.PASSWORD.encode()
                        tls.sendall(b"POST /api/login HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                    b"Content-Length: %d\r\n\r\n%s" % (len(body), body))
                        reply = b""
                        while True:
                            chunk = tls.recv(65536)
                            if not chunk:
                                break
                            reply += chunk
                self.assertEqual(status_of(reply), 200, reply)
                self.assertRegex(reply, rb"Set-Cookie: zeltaro_session=[0-9a-f]{64}; Path=/; "
                                        rb"HttpOnly; SameSite=Strict; Secure")
                # Plain HTTP gets no page.
                self.assertNotIn(b"HTTP/1.1 200", raw_exchange(port, b"GET / HTTP/1.1\r\n\r\n", 3))
            finally:
                s.stop()

    def test_a_fifo_named_as_the_certificate_refuses_at_once(self):
        # Opening a FIFO for reading would wait for a writer that never comes.
        with tempfile.TemporaryDirectory() as d:
            cert = os.path.join(d, "cert.pem")
            os.mkfifo(cert)
            settings = ('[Web]\r\nOn=1\r\nCertFile="%s"\r\nKeyFile="%s"\r\n' % (cert, cert)).encode()
            s = station.Station(PROGRAM, settings=settings, args=("/pass=" + station.PASSWORD,),
                                wait_for_web=False)
            try:
                line = ("web console not started: TLS: %s: not a regular file\n" % cert).encode()
                found = s.wait_stderr(re.escape(line), 20)
                self.assertIsNotNone(found, s.stderr)
            finally:
                s.stop()


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
