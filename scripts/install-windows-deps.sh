#!/usr/bin/env bash
# Installs the Debian 12 packages of the Windows cross build: the MinGW-w64
# compilers with POSIX threads (std::thread and std::jthread need them), the
# GoogleTest sources to build with them, CLI11, Wine to run the results and
# zip for the release archive. Idempotent: prints nothing and changes nothing
# when everything is there.
set -euo pipefail

packages=(
  cmake g++-mingw-w64-x86-64-posix
  googletest libcli11-dev
  wine wine64
  zip
)

bash "$(dirname "$0")/install-packages.sh" "${packages[@]}"
