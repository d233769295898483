#!/usr/bin/env bash
# Renders the main window (menu bar, view, status bar) on both pages and
# with its File menu open, the preview window and each dialog to PNG files
# under build/screenshots/ (offscreen, at 96 DPI), for the README and for a
# person to judge. Builds in the main build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96
cmake -S . -B build -G Ninja -DDRELIN_GUI=ON >/dev/null
cmake --build build --target view_screenshots
rm -rf build/screenshots
./build/bin/view_screenshots build/screenshots samples
