#!/usr/bin/env bash
# Builds the Debian package of Kitebar in a release build folder and prints
# the path of the .deb. Install it with
#   sudo apt-get install ./build-package/kitebar_*.deb
#   KITEBAR_BUILD_DIR  build folder (default: build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build_dir=${KITEBAR_BUILD_DIR:-build-package}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKITEBAR_BUILD_GUI=ON \
  -DKITEBAR_BUILD_TESTS=OFF -DKITEBAR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
# One package in the folder, so that kitebar_*.deb names it.
rm -f "$build_dir"/kitebar_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
ls "$PWD/$build_dir"/kitebar_*.deb
