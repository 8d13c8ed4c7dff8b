#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is needed, builds Zeltaro and starts it. Without a display it runs headless
# (Qt's offscreen platform) and is driven through its telnet console. Arguments are handed to
# the program, e.g. scripts/run.sh /telnet=2323 /pass=secret
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
# The program alone: the test and benchmark libraries are the test command's to install.
cmake --preset release -DZELTARO_BUILD_TESTS=OFF -DZELTARO_BUILD_BENCH=OFF
cmake --build --preset release --target zeltaro
exe=build/release/src/main/zeltaro
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting Zeltaro headless (Qt offscreen platform)."
  args=("$@")
  [ ${#args[@]} -eq 0 ] && args=(/telnet=2323)
  for a in "${args[@]}"; do
    case "${a,,}" in /telnet=*) echo "Console: telnet localhost ${a#*=}  (choose the port with /telnet=PORT; with a password, /pass=TEXT, it answers from the network too)";; esac
  done
  exec "$exe" -platform offscreen "${args[@]}"
fi
exec "$exe" "$@"
