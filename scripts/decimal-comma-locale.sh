#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Generates de_DE.UTF-8, the decimal-comma locale the test suite runs under a second time.
# Fails loudly when it cannot.
set -euo pipefail
if locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then exit 0; fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if ! command -v locale-gen >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q || { sleep 10; $SUDO apt-get update -q; }
  $SUDO apt-get install -y -q --no-install-recommends locales ||
    { echo "decimal-comma-locale: FAILED to install locales" >&2; exit 1; }
fi
if ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
  echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
fi
$SUDO locale-gen de_DE.UTF-8 >/dev/null
locale -a | grep -qix 'de_DE.utf8' || { echo "decimal-comma-locale: FAILED to generate de_DE.UTF-8" >&2; exit 1; }
