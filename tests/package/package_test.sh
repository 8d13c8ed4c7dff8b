#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the package from a build tree, installs it with apt-get, starts the installed program
# as an ordinary user on a box without a display, saves its settings through the console,
# removes the package and checks that the user's settings file is still there.
# Usage: package_test.sh SOURCE_DIR BUILD_DIR. Needs root; exits 77 (skipped) without it.
set -euo pipefail
src=$1
build=$2
if [ "$(id -u)" -ne 0 ]; then
  echo "package test: needs root to install a package, skipped"
  exit 77
fi
if dpkg-query -W -f='${Status}' zeltaro 2>/dev/null | grep -q "install ok installed"; then
  echo "package test: a zeltaro package is installed already; not touching it, skipped"
  exit 77
fi

work=$(mktemp -d)
user=65534  # nobody: may not write /usr/lib/zeltaro
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true
  if dpkg-query -W -f='${Status}' zeltaro 2>/dev/null | grep -q "install ok installed"; then
    apt-get remove -y -q zeltaro >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "package test: FAILED: $*" >&2
  [ -f "$work/stderr" ] && sed 's/^/  program: /' "$work/stderr" >&2
  exit 1
}

deb=$(bash "$src/scripts/package.sh" "$build" | tail -n1)
[ -f "$deb" ] || fail "no package built"

# What Debian's own checkers say of the package, its desktop entry and its AppStream data:
# nothing at the error or warning level.
check_deb() { lintian --fail-on error,warning "$1" 2>&1; }
check_desktop() {
  local out
  out=$(desktop-file-validate "$1" 2>&1) && [ -z "$out" ] || { echo "$out"; return 1; }
}
check_metainfo() { appstreamcli validate --no-net --explain "$1" 2>&1; }
out=$(check_deb "$deb") || fail "lintian: $out"
out=$(check_desktop "$src/packaging/zeltaro.desktop") || fail "desktop-file-validate: $out"
out=$(check_metainfo "$src/packaging/org.zeltaro.Zeltaro.metainfo.xml") || fail "appstreamcli: $out"
# Each check bites: a package with a made-up maintainer host, a desktop entry without its type
# and metadata without a summary are refused.
mkdir -p "$work/bad/pkg"
dpkg-deb -R "$deb" "$work/bad/pkg"
sed -i 's/^Maintainer: .*/Maintainer: Zeltaro developers <zeltaro@localhost>/' "$work/bad/pkg/DEBIAN/control"
dpkg-deb --root-owner-group -Zxz --build "$work/bad/pkg" "$work/bad/bad.deb" >/dev/null
! check_deb "$work/bad/bad.deb" >/dev/null || fail "lintian accepted a localhost maintainer"
grep -v '^Type=' "$src/packaging/zeltaro.desktop" >"$work/bad/zeltaro.desktop"
! check_desktop "$work/bad/zeltaro.desktop" >/dev/null || fail "desktop entry without Type accepted"
grep -v '<summary>' "$src/packaging/org.zeltaro.Zeltaro.metainfo.xml" >"$work/bad/org.zeltaro.Zeltaro.metainfo.xml"
! check_metainfo "$work/bad/org.zeltaro.Zeltaro.metainfo.xml" >/dev/null ||
  fail "metadata without a summary accepted"
dpkg-deb --info "$deb" | sed -n 's/^ Depends: /  depends: /p'
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q "$deb" >/dev/null || fail "apt-get install $deb"
for f in /usr/bin/zeltaro /usr/lib/zeltaro/zeltaro /usr/lib/zeltaro/chimes.wav \
  /usr/share/applications/zeltaro.desktop /usr/share/icons/hicolor/scalable/apps/zeltaro.svg \
  /usr/lib/systemd/user/zeltaro.service /usr/share/man/man1/zeltaro.1.gz \
  /usr/share/doc/zeltaro/copyright /usr/share/doc/zeltaro/changelog.gz \
  /usr/share/metainfo/org.zeltaro.Zeltaro.metainfo.xml; do
  [ -f "$f" ] || fail "$f not installed"
done

chmod 0755 "$work"  # the user must reach its home inside
home=$work/home
mkdir -p "$home"
chown "$user:$user" "$home"
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])')
(cd "$home" && exec setpriv --reuid="$user" --regid="$user" --clear-groups \
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR -u XDG_CONFIG_HOME \
  HOME="$home" zeltaro "/telnet=$port" 2>"$work/stderr") &
pid=$!

# The greeting, then a save; every byte of both as the console sends them (Shift-JIS).
/usr/bin/python3 - "$port" <<'PY' || fail "console"
import socket, sys, time
port = int(sys.argv[1])
for _ in range(150):
    try:
        s = socket.create_connection(("127.0.0.1", port), timeout=10)
        break
    except OSError:
        time.sleep(0.1)
else:
    sys.exit("no console on port %d" % port)

def take(n):
    got = b""
    while len(got) < n:
        chunk = s.recv(65536)
        if not chunk:
            break
        got += chunk
    return got

head = "\r\n  **************************** Hello de Zeltaro ****************************\r\n"
greeting = take(1)
time.sleep(0.3)
s.settimeout(0.5)
try:
    greeting += s.recv(65536)
except socket.timeout:
    pass
s.settimeout(10)
if not greeting.startswith(head.encode("cp932")) or not greeting.endswith(
        "  備考         ：半角の小文字と大文字は区別なし\r\n".encode("cp932")):
    sys.exit("unexpected greeting %r" % greeting[:200])
want = b"Z SAVE\r\n" + "    現在の設定を保存しました\r\n".encode("cp932") + b"\r\n"
s.sendall(b"Z SAVE\r\n")
got = take(len(want))
if got != want:
    sys.exit("Z SAVE: %r" % got)
PY

ini=$home/.config/zeltaro/zeltaro.ini
[ -s "$ini" ] || fail "no settings file at $ini"
[ ! -e /usr/lib/zeltaro/zeltaro.ini ] || fail "settings written into the program folder"
kill -TERM "$pid"
rc=0
wait "$pid" || rc=$?
pid=
[ "$rc" -eq 0 ] || fail "exit code $rc after SIGTERM"
grep -q "running headless" "$work/stderr" || fail "no word of the headless start"
saved=$(sha256sum <"$ini")

# The installed program answers --version and its manual page renders without a warning.
[ "$(zeltaro --version)" = "zeltaro 2.11" ] || fail "zeltaro --version"
manout=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 zeltaro 2>&1 >/dev/null) || true
[ -z "$manout" ] || fail "man zeltaro: $manout"

apt-get remove -y -q zeltaro >/dev/null || fail "apt-get remove"
[ ! -e /usr/lib/zeltaro/zeltaro ] || fail "program left behind by remove"
[ "$(sha256sum <"$ini")" = "$saved" ] || fail "the user's settings changed on remove"
echo "package test: $(basename "$deb") built, installed, answered, removed; settings kept"
