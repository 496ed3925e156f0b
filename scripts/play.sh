#!/usr/bin/env bash
# Installs what is missing, builds the release build and plays the bundled demo project in a
# window (the demo project is generated into demo/ the first time).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DPLAYER_BUILD=release
cmake --build build/release
if [ ! -d demo ]; then
  if [ -x build/release/tools/make_demo_project ]; then
    build/release/tools/make_demo_project demo
  else
    echo "The demo project generator (tools/make_demo_project) is not part of this build." >&2
    exit 1
  fi
fi
cd demo
exec ../build/release/player --host=sdl "$@"
