#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the player need, when they are missing.
# Safe to run again: it installs nothing that is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config clang
  libsdl2-dev libfreetype-dev libvorbis-dev libfluidsynth-dev timgm6mb-soundfont
  fonts-ipafont-gothic libboost-dev libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
