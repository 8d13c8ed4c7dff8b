#!/bin/sh
# A picture of the main window on a first start (no settings file) with a few log lines, drawn
# by a real X server (Xvfb) with the program's fonts. Usage: scripts/screenshot.sh [out.png]
# Builds the window test in build-screenshot/ unless ZELTARO_BUILD names a configured build.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/zeltaro-main-window.png}
build=${ZELTARO_BUILD:-$here/build-screenshot}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$build" --target app_tform1_test -j2
case $out in /*) ;; *) out=$(pwd)/$out ;; esac
ZELTARO_SCREENSHOT=$out QT_QPA_PLATFORM=xcb ZELTARO_TESTS_DIR=$here/tests \
  xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/tests/app/app_tform1_test" --gtest_filter='TForm1Test.Screenshot'
echo "wrote $out"
