#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are not installed yet,
# through sudo when not run as root. Prints nothing and changes nothing when
# every one is there.
set -euo pipefail

missing=()
for package in "$@"; do
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
# Another apt job (an unattended upgrade, a second script) may hold the
# package lock: wait for it rather than fail at once.
wait_for_lock=(-o DPkg::Lock::Timeout=600)
"${as_root[@]}" apt-get "${wait_for_lock[@]}" update -qq
"${as_root[@]}" apt-get "${wait_for_lock[@]}" install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
