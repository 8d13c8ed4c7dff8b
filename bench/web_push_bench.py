#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The web console's live push, measured against the real program, a real page server and
headless Chromium (not run by CTest):

1. push delay: a check runs through the console command "T U1", whose reply comes when the check
   has ended; the open page stamps the moment the new line is in its log (a MutationObserver).
   The delay is the stamp minus the moment the reply came (both on this machine's clock).
2. memory: ten pages (ten sessions, ten WebSockets) open while a check that adds lines runs every
   INTERVAL seconds for MINUTES minutes; the program's resident memory at the start, then every
   minute, and its peak.

Usage: web_push_bench.py PROGRAM [ROUNDS=30] [MINUTES=10] [INTERVAL=30]"""
import os
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "web"))
import station  # noqa: E402
from web_browser_test import browser  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402

STAMP = """
window.seen = {};
new MutationObserver(() => {
  const t = document.getElementById('log').textContent;
  for (const m of t.matchAll(/mark(\\d+)x/g)) if (!(m[1] in window.seen)) window.seen[m[1]] = Date.now();
}).observe(document.getElementById('log'), {childList: true, characterData: true, subtree: true});
"""


def memory_kib(pid):
    fields = {}
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            key, _, value = line.partition(":")
            fields[key] = value.strip()
    return int(fields["VmRSS"].split()[0]), int(fields["VmHWM"].split()[0])


def log_in(driver, base):
    # A session of its own for every page: the browser forgets the last one's cookie (the
    # pages already open keep their WebSockets).
    driver.get(base + "/style.css")
    driver.delete_all_cookies()
    driver.get(base + "/")
    wait = WebDriverWait(driver, 15)
    try:
        wait.until(lambda d: d.find_element(By.ID, "loginSection").is_displayed())
    except Exception:
        driver.save_screenshot("/tmp/h26bench.png")
        print(driver.get_log("browser"), driver.get_cookies())
        raise
    driver.find_element(By.ID, "password").send_keys(station.PASSWORD + "\n")
    wait.until(lambda d: d.find_element(By.ID, "status").text == "接続中")


def page_with(pages, n):
    # Five new spots per round, so that every check adds lines.
    pages.write("spots.html", station.spot_page(
        [station.spot_record(i, "STN1", comment="mark%dx r%d" % (n, i)) for i in range(1, 6)]))


def main():
    program = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 30
    minutes = float(sys.argv[3]) if len(sys.argv) > 3 else 10
    interval = float(sys.argv[4]) if len(sys.argv) > 4 else 30
    pages = station.PageServer()
    page_with(pages, 0)
    s = station.Station(program, settings=station.settings_text(pages.url("spots.html"), list1="STN1"))
    api = station.Api(s.port)
    api.login()
    driver = browser()
    try:
        log_in(driver, s.base())
        driver.execute_script(STAMP)
        delays, totals = [], []
        for n in range(1, rounds + 1):
            page_with(pages, n)
            sent = time.time() * 1000
            status, data, _ = api.request("POST", "/api/console", {"line": "T U1"})
            ended = time.time() * 1000
            assert status == 200, data
            seen = None
            for _ in range(200):
                seen = driver.execute_script("return window.seen[arguments[0]]", str(n))
                if seen:
                    break
                time.sleep(0.01)
            assert seen, "round %d never showed" % n
            delays.append(seen - ended)
            totals.append(seen - sent)
        sys.stdout.flush()
        print("push delay, end of check to line in the browser (ms): median %.1f, max %.1f, n=%d"
              % (statistics.median(delays), max(delays), len(delays)))
        print("request to line in the browser, check included (ms): median %.1f, max %.1f"
              % (statistics.median(totals), max(totals)))

        # Ten pages open, checks every interval seconds.
        for _ in range(9):
            driver.switch_to.new_window("tab")
            log_in(driver, s.base())
        rss0, _ = memory_kib(s.process.pid)
        print("ten pages open: RSS %d KiB" % rss0)
        end = time.monotonic() + minutes * 60
        next_report = time.monotonic() + 60
        n = 1000
        samples = [rss0]
        while time.monotonic() < end:
            n += 1
            page_with(pages, n)
            api.request("POST", "/api/check", {"page": 1})
            time.sleep(interval)
            if time.monotonic() >= next_report:
                rss, _ = memory_kib(s.process.pid)
                samples.append(rss)
                print("  after %d checks: RSS %d KiB" % (n - 1000, rss))
                next_report += 60
        rss, peak = memory_kib(s.process.pid)
        samples.append(rss)
        print("after %d checks: RSS %d KiB (start %d KiB, growth %+d KiB), peak %d KiB"
              % (n - 1000, rss, rss0, rss - rss0, peak))
    finally:
        driver.quit()
        s.stop()
        pages.stop()


if __name__ == "__main__":
    main()
