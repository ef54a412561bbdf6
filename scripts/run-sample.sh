#!/usr/bin/env bash
# Installs what is missing, builds Kitebar and runs it on the bundled sample
# history (the real results of draws 1 to 7088) in the working folder run/: the
# prediction of the next draw, written to run/showyosou.html.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target kitebar-cli
mkdir -p run
cd run
if [ ! -f kitebarnum.dat ]; then
  ../build/src/kitebar-cli load-csv ../data/numbers3.csv
fi
../build/src/kitebar-cli predict
