#!/usr/bin/env bash
# Renders every message box the program shows and a page of markup samples
# to PNG files under build/gallery/, for a person to look at.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target toolkit_gallery
rm -rf build/gallery
./build/bin/toolkit_gallery build/gallery
