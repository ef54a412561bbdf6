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
