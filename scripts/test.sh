#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is needed, builds everything (program, tests, benchmarks) and runs the suite,
# then runs it a second time under a decimal-comma locale (Qt adopts the desktop's locale, and
# no number the program reads or writes may follow it); then builds the tests again under the
# address and undefined-behaviour sanitizers and runs the suite once more (the fuzz corpora
# included).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/decimal-comma-locale.sh
cmake --preset dev
cmake --build --preset dev
# Tests that need a sound server start their own; ctest runs the rest.
ctest --preset dev
LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 ctest --preset dev
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
