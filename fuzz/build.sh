#!/usr/bin/env bash
# Builds the record-body fuzzer with clang and libFuzzer (not part of the CMake build).
# Usage: bash fuzz/build.sh && ./build/fuzz/record_load_fuzz -max_total_time=60 build/fuzz/corpus
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build/fuzz/corpus
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
  fuzz/RecordLoadFuzz.cpp data/*.cpp core/*.cpp platform/win/*.cpp platform/host/*.cpp \
  $(pkg-config --cflags --libs sdl2) -lpthread -o build/fuzz/record_load_fuzz
