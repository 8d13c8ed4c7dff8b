#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A picture of the web console on a phone-sized screen (390 x 844), drawn by headless Chromium
against the real program after a check has put a few lines in its log.
Usage: scripts/web_screenshot.py PROGRAM [PNG] (default docs/web-console-phone.png)."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "web"))
import station  # noqa: E402
from web_browser_test import browser  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402


def main():
    program = sys.argv[1]
    out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, "..", "docs",
                                                             "web-console-phone.png")
    pages = station.PageServer()
    spots = [("JA1ZLO", "7,012", "CW", "1001", "Tokyo"), ("JA3AAA", "14,020", "SSB", "2501", "Osaka"),
             ("JA8XYZ", "21,074", "FT8", "0101", "Sapporo")]
    pages.write("spots.html", station.spot_page([
        station.spot_record(i + 1, call, freq, mode, code, qth, "tnx")
        for i, (call, freq, mode, code, qth) in enumerate(spots)]))
    s = station.Station(program, settings=station.settings_text(
        pages.url("spots.html"), list1="JA1\\r\\nJA3 SSB\\r\\nJA8"))
    api = station.Api(s.port)
    api.login()
    d = browser()
    try:
        d.get(s.base() + "/")
        WebDriverWait(d, 10).until(lambda d: d.find_element(By.ID, "loginSection").is_displayed())
        d.find_element(By.ID, "password").send_keys(station.PASSWORD + "\n")
        WebDriverWait(d, 10).until(lambda d: d.find_element(By.ID, "status").text == "接続中")
        api.request("POST", "/api/console", {"line": "T U1"})
        WebDriverWait(d, 10).until(lambda d: "JA8XYZ" in d.find_element(By.ID, "log").text)
        d.save_screenshot(out)
    finally:
        d.quit()
        s.stop()
        pages.stop()


if __name__ == "__main__":
    main()
