#!/usr/bin/env bash
# Installs what is missing, builds Kitebar and runs every test.
#   KITEBAR_BUILD_DIR  build folder (default: build)
#   KITEBAR_WERROR     ON to treat warnings as errors (default: OFF)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build_dir=${KITEBAR_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKITEBAR_WERROR="${KITEBAR_WERROR:-OFF}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
