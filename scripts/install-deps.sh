#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Zeltaro needs from Debian's packages:
#   scripts/install-deps.sh run    to build and run the program (scripts/run.sh)
#   scripts/install-deps.sh        that, and everything the tests and benchmarks need as well
# Fails loudly when a package cannot be installed.
set -euo pipefail

# Building and running: the compiler, Qt, the sound library and its theme, the Japanese fonts,
# Wine for the bridge to HAMLOG, rigctld for a rig shared with other programs.
run_packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev qt6-httpserver-dev qt6-websockets-dev libgl-dev
  libcanberra-dev sound-theme-freedesktop libasound2-plugins
  fonts-ipafont-mincho fonts-ipafont-gothic
  wine wine32:i386 wine64
  libhamlib-utils
)
# Testing: the test and benchmark libraries, the servers and peers the tests start, a display
# and a sound server of their own, the screen reader's bus, mingw-w64 for the bridge and its
# Windows test doubles, a browser driven by Selenium for the web console.
test_packages=(
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  python3 python3-aiosmtpd
  libpcre2-dev
  xvfb xauth
  at-spi2-core python3-pyatspi dbus
  lintian desktop-file-utils appstream man-db
  mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64
  pulseaudio pulseaudio-utils sox
  chromium chromium-driver python3-selenium openssl
)

case "${1:-test}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Wine's 32-bit half (wine32:i386) comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
# The i386 indexes have failed transiently before: retry with a pause, then give up loudly.
apt_update() {
  local attempt
  for attempt in 1 2 3 4; do
    if $SUDO apt-get update -q; then return 0; fi
    echo "install-deps: apt-get update failed (attempt $attempt), retrying" >&2
    sleep $((attempt * 10))
  done
  echo "install-deps: FAILED: apt-get update" >&2
  return 1
}
apt_update || exit 1
apt_install() { $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"; }
if ! apt_install; then
  echo "install-deps: install failed, retrying once" >&2
  sleep 5
  apt_update
  apt_install || { echo "install-deps: FAILED to install: ${missing[*]}" >&2; exit 1; }
fi
