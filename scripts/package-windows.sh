#!/usr/bin/env bash
# Makes the release archive of the Windows command line,
# build-windows/kitebar-cli-windows-x64.zip: kitebar-cli.exe (built with
# `cmake --preset windows`, its runtime linked in), the bundled history
# numbers3.csv and a short read-me in Japanese and English (UTF-8 with a byte
# order mark and CR LF line ends, as Notepad expects). Prints the archive's
# path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-windows-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)" --target kitebar-cli

name=kitebar-cli-windows-x64
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
x86_64-w64-mingw32-strip -o "$stage/$name/kitebar-cli.exe" build-windows/src/kitebar-cli.exe
cp data/numbers3.csv "$stage/$name/numbers3.csv"
{
  printf '\xef\xbb\xbf'
  sed 's/$/\r/' packaging/windows/README.txt
} >"$stage/$name/README.txt"
archive="$PWD/build-windows/$name.zip"
rm -f "$archive"
# -X: no Unix owners or permissions in the archive.
(cd "$stage" && zip -q -X -r "$archive" "$name")
echo "$archive"
