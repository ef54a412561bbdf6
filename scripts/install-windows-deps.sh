#!/usr/bin/env bash
# Installs the Debian 12 packages of the Windows cross build: the MinGW-w64
# compilers with POSIX threads (std::thread and std::jthread need them), the
# GoogleTest sources to build with them, CLI11, Qt's host tools (moc, rcc) and
# Japanese translation for the desktop program (Qt itself is in
# ../shared/qt6-mingw, built by scripts/build-qt-mingw.sh), Wine to run the results, Xvfb and xdotool for the
# desktop program's smoke test, ImageMagick for the programs' icons, zip for the
# release archive and nsis for the setup program. Idempotent: prints nothing and
# changes nothing when everything is there.
set -euo pipefail

packages=(
  cmake g++-mingw-w64-x86-64-posix
  googletest libcli11-dev
  qt6-base-dev-tools qt6-translations-l10n
  wine wine64
  xvfb xauth xdotool x11-utils imagemagick
  zip unzip nsis
)

bash "$(dirname "$0")/install-packages.sh" "${packages[@]}"
