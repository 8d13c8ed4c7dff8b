#!/bin/sh
# Pictures of the windows drawn by a real X server (Xvfb) with the program's fonts: the main
# window on a first start with a few log lines, the settings dialog's four tabs and a patrol
# list window with a walk under way. Usage: scripts/screenshot.sh [folder] (default docs/).
# Builds the window tests in build-screenshot/ unless ZELTARO_BUILD names a configured build.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/docs}
build=${ZELTARO_BUILD:-$here/build-screenshot}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$build" --target app_tform1_test app_tform2_test app_tform4_test -j2
case $out in /*) ;; *) out=$(pwd)/$out ;; esac
mkdir -p "$out"
shoot() {
  QT_QPA_PLATFORM=xcb ZELTARO_TESTS_DIR=$here/tests \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
}
ZELTARO_SCREENSHOT=$out/main-window.png shoot \
  "$build/tests/app/app_tform1_test" --gtest_filter='TForm1Test.Screenshot'
ZELTARO_SCREENSHOT_DIR=$out shoot \
  "$build/tests/app/app_tform2_test" --gtest_filter='TForm2Test.Screenshots'
ZELTARO_SCREENSHOT=$out/patrol-window.png shoot \
  "$build/tests/app/app_tform4_test" --gtest_filter='TForm4Test.Screenshot'
# Small enough to keep in the repository.
if command -v optipng >/dev/null; then optipng -quiet -o2 "$out"/*.png; fi
echo "wrote $out/main-window.png settings-tab1..4.png patrol-window.png"
