#!/usr/bin/env bash
# Installs everything Zeltaro needs to build, run and test, from Debian's packages.
# Fails loudly when a package cannot be installed.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  python3 python3-aiosmtpd
  libhamlib-utils
  libpcre2-dev
  fonts-ipafont-mincho fonts-ipafont-gothic
  xvfb xauth
  at-spi2-core python3-pyatspi dbus
  lintian desktop-file-utils appstream man-db
  wine wine32:i386 wine64 mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64
  pulseaudio pulseaudio-utils sox libcanberra-dev sound-theme-freedesktop libasound2-plugins
)

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
