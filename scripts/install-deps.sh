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
  fonts-ipafont-mincho fonts-ipafont-gothic
  xvfb xauth
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
apt_update() { $SUDO apt-get update -q; }
apt_update || { echo "install-deps: apt-get update failed, retrying once" >&2; sleep 5; apt_update; }
apt_install() { $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"; }
if ! apt_install; then
  echo "install-deps: install failed, retrying once" >&2
  sleep 5
  apt_update
  apt_install || { echo "install-deps: FAILED to install: ${missing[*]}" >&2; exit 1; }
fi
