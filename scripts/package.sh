#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of Zeltaro and prints its path on the last line.
#   scripts/package.sh              optimised build in build/release, package there
#   scripts/package.sh BUILD_DIR    package what an already configured build tree makes
# The program, the bridge for Wine (when mingw-w64 built it) and the alert sound go to
# /usr/lib/zeltaro with a /usr/bin/zeltaro launcher, a desktop entry, an icon and a systemd
# user unit, with the manual page, the copyright file, the changelog and the AppStream
# metadata. Dependencies are read from the libraries the program actually loads.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ge 1 ]; then
  build=$(cd "$1" && pwd)
else
  (cd "$root" && cmake --preset release >&2)
  build=$root/build/release
fi
targets=(zeltaro)
if cmake --build "$build" --target help 2>/dev/null | grep -q '^zeltaro_bridge_exe:'; then
  targets+=(zeltaro_bridge_exe)
fi
cmake --build "$build" --target "${targets[@]}" >&2

app=$build/src/main
version=$(sed -n 's/^project(Zeltaro VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
arch=$(dpkg --print-architecture)
stage=$build/package/zeltaro_${version}_${arch}
rm -rf "$stage"

install -Dm755 "$app/zeltaro" "$stage/usr/lib/zeltaro/zeltaro"
strip --strip-unneeded "$stage/usr/lib/zeltaro/zeltaro"
install -Dm644 "$app/chimes.wav" "$stage/usr/lib/zeltaro/chimes.wav"
if [ -f "$app/zeltaro-bridge.exe" ]; then
  install -Dm644 "$app/zeltaro-bridge.exe" "$stage/usr/lib/zeltaro/zeltaro-bridge.exe"
fi
install -Dm755 "$root/packaging/zeltaro.sh" "$stage/usr/bin/zeltaro"
install -Dm644 "$root/packaging/zeltaro.desktop" "$stage/usr/share/applications/zeltaro.desktop"
install -Dm644 "$root/packaging/zeltaro.svg" \
  "$stage/usr/share/icons/hicolor/scalable/apps/zeltaro.svg"
install -Dm644 "$root/packaging/zeltaro.service" "$stage/usr/lib/systemd/user/zeltaro.service"
install -Dm644 "$root/packaging/org.zeltaro.Zeltaro.metainfo.xml" \
  "$stage/usr/share/metainfo/org.zeltaro.Zeltaro.metainfo.xml"
install -d "$stage/usr/share/man/man1"
gzip -9n <"$root/packaging/zeltaro.1" >"$stage/usr/share/man/man1/zeltaro.1.gz"
install -Dm644 "$root/packaging/copyright" "$stage/usr/share/doc/zeltaro/copyright"
gzip -9n <"$root/packaging/changelog" >"$stage/usr/share/doc/zeltaro/changelog.gz"
for doc in README.md README.ja.md; do
  [ -f "$root/$doc" ] && install -Dm644 "$root/$doc" "$stage/usr/share/doc/zeltaro/$doc"
done
if [ -d "$root/docs" ]; then
  for png in "$root"/docs/*.png; do
    [ -f "$png" ] && install -Dm644 "$png" "$stage/usr/share/doc/zeltaro/docs/$(basename "$png")"
  done
fi

# The packages that hold the shared libraries the program loads, and the Qt platform plugins
# it needs to start with a display (xcb) or without one (offscreen).
owner() {
  local f=$1 p
  p=$(dpkg -S "$f" 2>/dev/null || dpkg -S "$(readlink -f "$f")" 2>/dev/null || true)
  [ -n "$p" ] && echo "${p%%:*}" | cut -d, -f1
}
deps=()
while read -r lib; do
  pkg=$(owner "$lib")
  if [ -z "$pkg" ]; then
    echo "package: no Debian package holds $lib" >&2
    exit 1
  fi
  deps+=("$pkg")
done < <(ldd "$app/zeltaro" | awk '$3 ~ /^\// { print $3 }')
plugins=$(dirname "$(readlink -f "$(ldd "$app/zeltaro" | awk '/libQt6Gui/ { print $3 }')")")/qt6/plugins/platforms
for plugin in libqxcb.so libqoffscreen.so; do
  [ -f "$plugins/$plugin" ] && deps+=("$(owner "$plugins/$plugin")")
done
# The fixed-pitch Japanese fonts the windows are laid out for.
deps+=(fonts-ipafont-gothic fonts-ipafont-mincho)
depends=$(printf '%s\n' "${deps[@]}" | sort -u | paste -sd, - | sed 's/,/, /g')

mkdir -p "$stage/DEBIAN"
cat >"$stage/DEBIAN/control" <<CONTROL
Package: zeltaro
Version: $version
Architecture: $arch
Section: hamradio
Priority: optional
Maintainer: Zeltaro developers <developers@zeltaro.org>
Installed-Size: $(du -sk --exclude=DEBIAN "$stage" | cut -f1)
Depends: $depends
Recommends: wine, libhamlib-utils, sound-theme-freedesktop
Description: spot page watcher for amateur radio operators
 Fetches up to three spot pages, cuts them into spots, matches them against
 three watch lists and first-QSO checks in a HAMLOG log, and alerts by log
 panes and lamps, sound, e-mail and a telnet console that drives everything.
 Runs in a window or headless on a box reached only through its console.
CONTROL

deb=$build/package/zeltaro_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >&2
echo "$deb"
