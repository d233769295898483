#!/usr/bin/env bash
# Refreshes the pictures of the help page (help/images/, also shown by the
# README) from the screenshots that scripts/screenshots.sh renders, and
# makes them as small as lossless PNG allows. Run it after a change to what
# the windows look like, then commit help/images/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh optipng
export QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96
cmake -S . -B build -G Ninja -DDRELIN_GUI=ON >/dev/null
cmake --build build --target view_screenshots

# The tables are shown from a folder whose path reads well in the pictures.
tables="/tmp/Customer tables"
rm -rf "$tables" build/screenshots
mkdir -p "$tables"
cp samples/*.dbf "$tables/"
./build/bin/view_screenshots build/screenshots "$tables" >/dev/null
rm -rf "$tables"

pictures=(
  file-page file-menu repair-page-running repair-page-done
  dialog-RepairMode dialog-FilePreview dialog-Settings dialog-Saving
)
rm -f help/images/*.png
mkdir -p help/images
for name in "${pictures[@]}"; do
  cp "build/screenshots/$name.png" help/images/
done
optipng -quiet -o5 -strip all help/images/*.png
du -b help/images/*.png
