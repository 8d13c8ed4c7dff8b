#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The web console in a real browser (headless Chromium driven by Selenium) against the real
program and a real page server: logging in, a check's new line pushed to the open page, a
watch-list entry typed on the page that is saved and flags the next check, and spot fields
holding markup shown as text with nothing run.

Usage: web_browser_test.py PROGRAM"""
import os
import sys
import time
import unittest

from selenium import webdriver
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import station  # noqa: E402

PROGRAM = None


def browser():
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=390,844",
                "--disable-dev-shm-usage", "--no-first-run", "--lang=ja"):
        options.add_argument(arg)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    service = webdriver.chrome.service.Service("/usr/bin/chromedriver")
    return webdriver.Chrome(service=service, options=options)


class BrowserTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pages = station.PageServer()
        cls.pages.write("spots.html", station.spot_page([station.spot_record(1, "JA1AAA")]))
        settings = station.settings_text(cls.pages.url("spots.html"), list1="STN1")
        cls.station = station.Station(PROGRAM, settings=settings)
        cls.api = station.Api(cls.station.port)
        assert cls.api.login() == 200
        cls.driver = browser()

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.station.stop()
        cls.pages.stop()

    def setUp(self):
        self.open_logged_in()

    def open_logged_in(self):
        d = self.driver
        d.delete_all_cookies()
        d.get(self.station.base() + "/")
        wait = WebDriverWait(d, 10)
        wait.until(lambda d: d.find_element(By.ID, "loginSection").is_displayed())
        d.find_element(By.ID, "password").send_keys(station.PASSWORD + "\n")
        wait.until(lambda d: d.find_element(By.ID, "station").is_displayed())
        # The live push is open.
        wait.until(lambda d: d.find_element(By.ID, "status").text == "接続中")

    def log_text(self):
        return self.driver.find_element(By.ID, "log").get_attribute("textContent")

    def wait_for_log(self, text, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if text in self.log_text():
                return True
            time.sleep(0.02)
        return False

    def check_page_1_from_elsewhere(self):
        """A check started by another client: the open page learns of it only by the push."""
        status, _, _ = self.api.request("POST", "/api/check", {"page": 1})
        self.assertEqual(status, 202)

    def test_login_is_needed_and_a_wrong_password_says_so(self):
        d = self.driver
        d.delete_all_cookies()
        d.get(self.station.base() + "/")
        wait = WebDriverWait(d, 10)
        wait.until(lambda d: d.find_element(By.ID, "loginSection").is_displayed())
        self.assertFalse(d.find_element(By.ID, "station").is_displayed())
        d.find_element(By.ID, "password").send_keys("not-it\n")
        wait.until(lambda d: d.find_element(By.ID, "loginError").text != "")
        self.assertFalse(d.find_element(By.ID, "station").is_displayed())
        self.open_logged_in()
        # The session cookie is out of the script's reach.
        self.assertNotIn("zeltaro_session", d.execute_script("return document.cookie"))

    def test_a_checks_new_line_shows_within_a_second_without_reloading(self):
        self.pages.write("spots.html", station.spot_page([station.spot_record(1, "STN1",
                                                                              comment="live1")]))
        d = self.driver
        d.execute_script("window.notReloaded = true")
        started = time.monotonic()
        self.check_page_1_from_elsewhere()
        self.assertTrue(self.wait_for_log("live1", 1.0), self.log_text())
        self.assertLess(time.monotonic() - started, 1.0)
        self.assertTrue(d.execute_script("return window.notReloaded === true"))
        self.assertIn("on", d.find_element(By.ID, "lamp1").get_attribute("class"))

    def test_a_watch_list_entry_typed_on_the_page_is_saved_and_flags_the_next_check(self):
        d = self.driver
        box = d.find_element(By.ID, "list1")
        box.send_keys("\nJA9NEW")
        d.find_element(By.ID, "saveLists").click()
        WebDriverWait(d, 10).until(lambda d: d.find_element(By.ID, "listsResult").text != "")
        self.assertEqual(d.find_element(By.ID, "listsResult").text, "保存しました。")
        with open(self.station.settings_path(), "rb") as f:
            saved = f.read().decode("cp932")
        self.assertIn("JA9NEW", saved)
        self.pages.write("spots.html", station.spot_page([station.spot_record(1, "JA9NEW",
                                                                              comment="listed")]))
        self.check_page_1_from_elsewhere()
        self.assertTrue(self.wait_for_log("JA9NEW", 5), self.log_text())
        self.assertIn("on", d.find_element(By.ID, "lamp1").get_attribute("class"))

    def test_every_control_has_a_name_and_the_keyboard_reaches_it(self):
        d = self.driver
        unnamed = d.execute_script("""
            const out = [];
            for (const el of document.querySelectorAll('input, select, textarea, button')) {
              const named = (el.labels && el.labels.length > 0 && el.labels[0].textContent.trim()) ||
                            el.getAttribute('aria-label') || el.getAttribute('aria-labelledby') ||
                            (el.tagName === 'BUTTON' && el.textContent.trim());
              if (!named) out.push(el.id || el.outerHTML);
              if (el.tabIndex < 0) out.push('unreachable: ' + (el.id || el.outerHTML));
            }
            return out;""")
        self.assertEqual(unnamed, [])
        # The alert switch toggled with the keyboard alone: Tab onto it, Space.
        before = d.find_element(By.ID, "alertSwitch").is_selected()
        d.execute_script("document.getElementById('mailSwitch').focus()")
        ActionChains(d).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(Keys.SHIFT).send_keys(" ").perform()
        WebDriverWait(d, 5).until(
            lambda d: self.api.request("GET", "/api/state")[1]["live"]["alert"] != before)
        ActionChains(d).send_keys(" ").perform()
        WebDriverWait(d, 5).until(
            lambda d: self.api.request("GET", "/api/state")[1]["live"]["alert"] == before)

    def test_a_failed_fetch_reaches_the_open_pages_event_log(self):
        api = station.Api(self.station.port)
        self.assertEqual(api.login(), 200)
        missing = self.pages.url("gone.html")
        status, _, _ = api.request("POST", "/api/setup", {"settings": {"edtURL2": missing}})
        self.assertEqual(status, 200)
        status, _, _ = api.request("POST", "/api/check", {"page": 2})
        self.assertEqual(status, 202)
        WebDriverWait(self.driver, 10).until(
            lambda d: "gone.html" in d.find_element(By.ID, "events").get_attribute("textContent"))

    def test_markup_from_a_spot_page_is_shown_as_text_and_runs_nothing(self):
        script = "<script>window.pwned=1</script>"
        image = "\"><img src=x onerror=\"window.pwned=2\">"
        self.pages.write("spots.html", station.spot_page([
            station.spot_record(1, "STN1", comment=script, qth=image)]))
        d = self.driver
        self.check_page_1_from_elsewhere()
        self.assertTrue(self.wait_for_log("window.pwned=1", 5), self.log_text())
        log = self.log_text()
        self.assertIn(script, log)
        self.assertIn("onerror=", log)
        time.sleep(0.3)
        self.assertIsNone(d.execute_script("return window.pwned === undefined ? null : window.pwned"))
        self.assertEqual(d.find_elements(By.CSS_SELECTOR, "#log *"), [])
        self.assertEqual(d.find_elements(By.TAG_NAME, "img"), [])
        # The same line in the console box's reply and the page tester's table stays text too.
        line = d.find_element(By.ID, "consoleLine")
        line.send_keys("D LOG\n")
        WebDriverWait(d, 10).until(
            lambda d: "window.pwned" in d.find_element(By.ID, "consoleReply").get_attribute("textContent"))
        d.find_element(By.CSS_SELECTOR, "#testerForm button").click()
        WebDriverWait(d, 15).until(
            lambda d: "window.pwned" in d.find_element(By.ID, "testerTable").get_attribute("textContent"))
        self.assertEqual(d.find_elements(By.CSS_SELECTOR, "#testerTable img, #testerTable script"), [])
        self.assertIsNone(d.execute_script("return window.pwned === undefined ? null : window.pwned"))


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
