# SPDX-License-Identifier: GPL-3.0-or-later
"""The real program with its web console, for the web tests: a copy in a fresh folder with its
own HOME and settings file, a real page server (tests/app/page_server.py) serving the spot pages
it checks, and a logged-in HTTP client of the console's API."""
import http.client
import json
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PAGE_SERVER = os.path.join(HERE, "..", "app", "page_server.py")
PASSWORD = "Secret-42"


def spot_record(number, call, freq="7,010", mode="CW", code="1001", qth="Tokyo",
                comment="tnx"):
    """One record in the program's default record format."""
    return ("<LineStart><!--%d--></LineStart><Date>2026/12/09</Date><Time>23:15</Time>"
            "<CallSignTo>%s</CallSignTo><Freq>%s</Freq><Mode>%s</Mode><Qth>%s</Qth>"
            "<QthName>%s</QthName><Distance>12</Distance><Comments>%s</Comments>"
            "<CallSignFrom>JA2YYY</CallSignFrom><font title='Aichi'><QthFrom>2001</QthFrom>"
            "</LineEnd>\r\n" % (number, call, freq, mode, code, qth, comment))


def spot_page(records):
    return "<html><body>\r\n<h1>Spots</h1>\r\n" + "".join(records) + "</body></html>\r\n"


def settings_text(page_url, list1="", extra=""):
    """A settings file: page 1 at page_url, list 1 searching it."""
    text = ("[Inet]\r\nTimeSel=0\r\nChkURL1=1\r\nChkURL2=0\r\nChkURL3=0\r\nUrl1=%s\r\n"
            "[Alert]\r\nAlert=0\r\n"
            "[List1]\r\nUrl1=1\r\nUrl2=0\r\nUrl3=0\r\nList=%s\r\n%s" % (page_url, list1, extra))
    return text.encode("cp932")


class PageServer:
    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="zeltaro-pages-")
        self.process = subprocess.Popen([sys.executable, PAGE_SERVER, self.folder],
                                        stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        self.port = int(line.split()[1])

    def url(self, name):
        return "http://127.0.0.1:%d/%s" % (self.port, name)

    def write(self, name, text):
        with open(os.path.join(self.folder, name), "wb") as f:
            f.write(text.encode("cp932"))

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        self.process.stdout.close()
        shutil.rmtree(self.folder, ignore_errors=True)


class Station:
    """The program copied into a folder of its own and started headless."""

    def __init__(self, program, settings=b"", args=("/web=on", "/pass=" + PASSWORD),
                 wait_for_web=True):
        self.folder = tempfile.mkdtemp(prefix="zeltaro-web-")
        self.exe = os.path.join(self.folder, "zeltaro")
        shutil.copy(program, self.exe)
        if settings:
            with open(self.settings_path(), "wb") as f:
                f.write(settings)
        home = os.path.join(self.folder, "home")
        env = dict(os.environ)
        for key in ("DISPLAY", "WAYLAND_DISPLAY"):
            env.pop(key, None)
        env.update({"HOME": home, "XDG_CONFIG_HOME": home + "/.config",
                    "XDG_DATA_HOME": home + "/.local/share", "XDG_STATE_HOME": home + "/.local/state",
                    "XDG_CACHE_HOME": home + "/.cache", "XDG_RUNTIME_DIR": self.folder + "/runtime",
                    "QT_QPA_PLATFORM": "offscreen", "ZELTARO_WEB_ANY_PORT": "1",
                    "ZELTARO_CONSOLE_ANY_PORT": "1"})
        os.makedirs(home, exist_ok=True)
        os.makedirs(self.folder + "/runtime", mode=0o700, exist_ok=True)
        self.process = subprocess.Popen([self.exe, *args], cwd=self.folder, env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.stderr = b""
        self.port = 0
        if wait_for_web:
            found = self.wait_stderr(rb"web console at https?://[^:]+:(\d+)/", 20)
            if not found:
                raise RuntimeError("no web console: " + self.stderr.decode(errors="replace"))
            self.port = int(found.group(1))

    def settings_path(self):
        return os.path.join(self.folder, "zeltaro.ini")

    def read_stderr(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            ready, _, _ = select.select([self.process.stderr], [], [], 0.1)
            if ready:
                chunk = os.read(self.process.stderr.fileno(), 65536)
                if not chunk:
                    return
                self.stderr += chunk

    def wait_stderr(self, pattern, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            found = re.search(pattern, self.stderr)
            if found:
                return found
            if self.process.poll() is not None:
                self.read_stderr(0.2)
                return re.search(pattern, self.stderr)
            self.read_stderr(0.2)
        return None

    def base(self):
        return "http://127.0.0.1:%d" % self.port

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process.stderr.close()
        shutil.rmtree(self.folder, ignore_errors=True)


class Api:
    """A client of the console's API with its own session."""

    def __init__(self, port):
        self.port = port
        self.cookie = ""
        self.token = ""

    def request(self, method, path, body=None, headers=None, token=True):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30)
        h = dict(headers or {})
        if self.cookie:
            h["Cookie"] = self.cookie
        if token and self.token and method == "POST":
            h.setdefault("X-Zeltaro-Token", self.token)
        data = None
        if body is not None:
            data = json.dumps(body).encode()
            h["Content-Type"] = "application/json"
        conn.request(method, path, body=data, headers=h)
        r = conn.getresponse()
        payload = r.read()
        conn.close()
        try:
            parsed = json.loads(payload) if payload else {}
        except ValueError:
            parsed = payload
        return r.status, parsed, r

    def login(self, password=PASSWORD):
        status, data, r = self.request("POST", "/api/login", {"password": password})
        if status == 200:
            self.cookie = r.getheader("Set-Cookie").split(";")[0]
            self.token = data["token"]
        return status
