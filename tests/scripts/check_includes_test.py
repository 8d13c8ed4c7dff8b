#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The include check on a copy of src/ with one fault planted in it: each must fail the check
with a line naming it, while the unchanged copy passes. Runs on this build's targets.json.

Usage: check_includes_test.py TARGETS_JSON
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CHECK = os.path.join(REPO, "scripts", "check_includes.py")
TARGETS = None


def run_check(root, targets_json):
    return subprocess.run([sys.executable, CHECK, targets_json, root], capture_output=True,
                          text=True, check=False)


class IncludeCheck(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.root = self.tmp.name
        shutil.copytree(os.path.join(REPO, "src"), os.path.join(self.root, "src"))
        self.targets = os.path.join(self.root, "targets.json")
        shutil.copyfile(TARGETS, self.targets)

    def tearDown(self):
        self.tmp.cleanup()

    def plant(self, rel, line):
        path = os.path.join(self.root, rel)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        with open(path, "w", encoding="utf-8") as f:
            f.write(line + "\n" + text)

    def test_the_real_tree_passes(self):
        result = run_check(REPO, TARGETS)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        result = run_check(self.root, self.targets)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_planted_includes_fail(self):
        cases = [
            # The console's command set reaching up into the app it serves.
            ("src/console/command_set.cpp", '#include "app/main_model.h"',
             "src/console/command_set.cpp:1: src/app/main_model.h: upward include"),
            # A header of a model reaching up into the windows.
            ("src/spots/extraction.h", '#include "gui/main_window.h"',
             "src/spots/extraction.h:1: src/gui/main_window.h: upward include"),
            # The text helpers at the very bottom reaching any other folder.
            ("src/text/sjis.cpp", '#include "settings/key_table.h"',
             "src/text/sjis.cpp:1: src/settings/key_table.h: upward include"),
            # Down the layers but undeclared: the views do not depend on the watch lists.
            ("src/views/pane.cpp", '#include "watchlists/watch_list.h"',
             "zeltaro_views does not depend on zeltaro_watchlists"),
            # The console's interface is below the console's implementation.
            ("src/console/console_model.h", '#include "console/console_server.h"',
             "src/console/console_model.h:1: src/console/console_server.h: upward include"),
        ]
        for rel, line, expected in cases:
            with self.subTest(rel=rel, line=line):
                self.tearDown()
                self.setUp()  # a fresh copy for each fault
                self.plant(rel, line)
                result = run_check(self.root, self.targets)
                self.assertEqual(result.returncode, 1, result.stdout)
                self.assertIn(expected, result.stdout)

    def test_an_upward_link_fails(self):
        with open(self.targets, encoding="utf-8") as f:
            targets = json.load(f)
        for t in targets:
            if t["name"] == "zeltaro_settings":
                t["deps"].append("zeltaro_appcore")
        with open(self.targets, "w", encoding="utf-8") as f:
            json.dump(targets, f)
        result = run_check(self.root, self.targets)
        self.assertEqual(result.returncode, 1, result.stdout)
        self.assertIn("zeltaro_settings links zeltaro_appcore: an upward dependency",
                      result.stdout)

    def test_a_declared_edge_covers_an_include_transitively(self):
        # gui/ reaches settings/ only through appcore -> settings; still covered.
        self.plant("src/gui/click_label.cpp", '#include "settings/key_table.h"')
        result = run_check(self.root, self.targets)
        self.assertEqual(result.returncode, 0, result.stdout)


if __name__ == "__main__":
    TARGETS = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
