#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of the windows drawn by a real X server (Xvfb) with the program's fonts: the main
# window on a first start with a few log lines, the settings dialog's four tabs and a patrol
# list window with a walk under way, and the page tester. Usage: scripts/screenshot.sh [folder] (default docs/).
# Builds the zeltaro_screenshots tool in build-screenshot/ unless ZELTARO_BUILD names a configured
# build.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/docs}
build=${ZELTARO_BUILD:-$here/build-screenshot}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$build" --target zeltaro_screenshots -j2
case $out in /*) ;; *) out=$(pwd)/$out ;; esac
mkdir -p "$out"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/tests/screenshots/zeltaro_screenshots" "$out"
# Small enough to keep in the repository.
if command -v optipng >/dev/null; then optipng -quiet -o2 "$out"/*.png; fi
echo "wrote $out/main-window.png settings-tab1..4.png patrol-window.png page-tester.png"
