#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through
# ctest: the main build (GUI tests under Qt's offscreen platform), the engine,
# batch and command line again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the batch under ThreadSanitizer, and a short
# smoke run of each fuzz target. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96

echo "== Build and test =="
cmake -S . -B build -G Ninja -DDRELIN_GUI=ON
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

echo "== AddressSanitizer + UndefinedBehaviorSanitizer: engine, batch, command line =="
cmake -S . -B build-asan -G Ninja -DDRELIN_GUI=OFF -DDRELIN_SANITIZE=address,undefined
cmake --build build-asan -j "$jobs"
(cd build-asan && ctest -L 'engine|batch|cli' --output-on-failure -j "$jobs")

echo "== ThreadSanitizer: batch =="
cmake -S . -B build-tsan -G Ninja -DDRELIN_GUI=OFF -DDRELIN_SANITIZE=thread
cmake --build build-tsan -j "$jobs"
(cd build-tsan && ctest -L batch --output-on-failure -j "$jobs")

echo "== Fuzz targets: a short smoke run each =="
./scripts/fuzz.sh 20
