#!/usr/bin/env bash
# Installs what is needed, builds everything (program, tests, benchmarks) and runs the suite;
# then builds the tests again under the address and undefined-behaviour sanitizers and runs the
# suite once more (the fuzz corpora included).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev
# Tests that need a sound server start their own; ctest runs the rest.
ctest --preset dev
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
