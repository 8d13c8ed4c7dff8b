#!/usr/bin/env bash
# Installs what is needed, builds Zeltaro and starts it. Without a display it runs headless
# (Qt's offscreen platform) and is driven through its telnet console. Arguments are handed to
# the program, e.g. scripts/run.sh /telnet=2323 /pass=secret
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target zeltaro
exe=build/release/src/app/zeltaro
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting Zeltaro headless (Qt offscreen platform)."
  args=("$@")
  [ ${#args[@]} -eq 0 ] && args=(/telnet=2323)
  for a in "${args[@]}"; do
    case "${a,,}" in /telnet=*) echo "Console: telnet localhost ${a#*=}  (choose the port with /telnet=PORT, a password with /pass=TEXT)";; esac
  done
  exec "$exe" -platform offscreen "${args[@]}"
fi
exec "$exe" "$@"
