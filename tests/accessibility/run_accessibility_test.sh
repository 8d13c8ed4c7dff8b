#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A private D-Bus session (the accessibility bus starts on it on demand) and an X server.
# Usage: run_accessibility_test.sh PROGRAM
set -eu
here=$(cd "$(dirname "$0")" && pwd)
exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" \
  /usr/bin/python3 "$here/accessibility_test.py" "$1"
