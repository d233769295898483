#!/usr/bin/env bash
# Renders every message box the program shows, a page of markup samples and
# sheets of the skinned buttons and flat menus and of the program's pictures
# (icons, buttons, the main view, dialogs), each at 1x and 2x, to PNG files
# under build/gallery/, for a person to look at. Builds in a folder of its
# own so the settings of other builds stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96
cmake -S . -B build-gallery -G Ninja -DDRELIN_GUI=ON -DDRELIN_TESTS=ON >/dev/null
cmake --build build-gallery --target toolkit_gallery
rm -rf build/gallery
mkdir -p build
./build-gallery/bin/toolkit_gallery build/gallery
