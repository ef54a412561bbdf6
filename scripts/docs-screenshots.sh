#!/usr/bin/env bash
# Redraws the pictures of the README, docs/screenshots/*.png, from the bundled
# sample history: the windows with the offscreen screenshot tool, the pages as
# headless chromium shows them (installed first when missing).
#   KITEBAR_BUILD_DIR  build folder (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if ! command -v chromium >/dev/null; then
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
  fi
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq chromium >/dev/null
fi
build_dir=${KITEBAR_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target kitebar-screenshots kitebar-cli
cli=$PWD/$build_dir/src/kitebar-cli
sample=$PWD/data/numbers3.csv
output=$PWD/docs/screenshots
mkdir -p "$output"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run" "$work/windows"
(cd "$work/run" && "$cli" load-csv "$sample" >/dev/null)
QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 "$build_dir/src/app/kitebar-screenshots" \
  "$work/windows" "$work/run/kitebarnum.dat" 2>/dev/null
for picture in main-window-menu about-box winning-number-dialog simulation-settings-dialog \
  paste-results-dialog; do
  cp "$work/windows/$picture.png" "$output/"
done

(cd "$work/run" && "$cli" evaluate >/dev/null)
(cd "$work/run" && "$cli" tune --train-to 6000 >/dev/null)
(cd "$work/run" && "$cli" predict >/dev/null && "$cli" hits --recent --all >/dev/null)
# page name, picture name, window width and height
while read -r page picture width height; do
  chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --user-data-dir="$work/browser" \
    --hide-scrollbars --window-size="$width,$height" --screenshot="$output/$picture" \
    "file://$work/run/$page" >/dev/null 2>&1
done <<'PAGES'
showyosou.html prediction-page.png 640 340
Kitebar_100.html hit-statistics-page.png 640 560
Kitebar_kensho.html evaluation-page.png 1024 2480
Kitebar_tuning.html tuning-page.png 1024 1960
PAGES
ls "$output"
