#!/usr/bin/env bash
# Installs the Debian 12 packages that Kitebar needs to build, test and run.
# Idempotent: prints nothing and changes nothing when everything is there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  qt6-base-dev libgl-dev qt6-translations-l10n
  clang libclang-rt-14-dev llvm clang-format
  locales-all fonts-ipafont-gothic fonts-noto-cjk xvfb xauth python3 xdg-utils desktop-file-utils
  lintian appstream groff-base
)

bash "$(dirname "$0")/install-packages.sh" "${packages[@]}"
