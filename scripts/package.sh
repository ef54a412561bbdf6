#!/usr/bin/env bash
# Builds the Debian package of Kitebar in a release build folder and prints
# the path of the .deb. Install it with
#   sudo apt-get install ./build-package/kitebar_*.deb
#   KITEBAR_BUILD_DIR  build folder (default: build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build_dir=${KITEBAR_BUILD_DIR:-build-package}
# Debian's hardening (fortified functions, stack protector, read-only
# relocations bound at start) and its -O2, as a Debian package is built.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKITEBAR_BUILD_GUI=ON \
  -DKITEBAR_BUILD_TESTS=OFF -DKITEBAR_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
# One package in the folder, so that kitebar_*.deb names it.
rm -f "$build_dir"/kitebar_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
ls "$PWD/$build_dir"/kitebar_*.deb
