#!/usr/bin/env bash
# Builds the Debian package of the desktop program and the command-line tool
# from the install rules (CPack), in a Release build of its own without the
# tests, and prints the package's path. Install it with
#   sudo apt install ./build-deb/tarnova-drelin_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh dpkg-dev file

cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DDRELIN_GUI=ON -DDRELIN_TESTS=OFF >/dev/null
cmake --build build-deb -j "$(nproc)"
rm -f build-deb/tarnova-drelin_*.deb
(cd build-deb && cpack -G DEB >/dev/null)
package=$(ls build-deb/tarnova-drelin_*.deb)
dpkg-deb --field "$package" Package Version Architecture Depends Recommends
echo "$package"
