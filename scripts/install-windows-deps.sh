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

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
