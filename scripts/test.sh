#!/usr/bin/env bash
# Installs what is missing, builds the test build (sanitizers on) and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DPLAYER_BUILD=test
cmake --build build/test
cd build/test
ctest --output-on-failure -j "$(nproc)"
