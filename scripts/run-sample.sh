#!/usr/bin/env bash
# Installs what is missing, builds Kitebar and starts the desktop program on the
# bundled sample history (the real results of draws 1 to 7088) in the working
# folder run/. Without a display it says so and runs the command-line
# companion's prediction instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The manual pages too, so that cmake --install build has everything it installs.
cmake --build build -j"$(nproc)" --target kitebar kitebar-cli kitebar-package-docs
mkdir -p run
cd run
if [ ! -f kitebarnum.dat ]; then
  ../build/src/kitebar-cli load-csv ../data/numbers3.csv
fi
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ../build/src/app/kitebar
fi
cat >&2 <<'MESSAGE'
No display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the desktop
program cannot open its window. Use the command-line companion in run/ instead:
  cd run && ../build/src/kitebar-cli predict      # the ten candidates of the next draw
  ../build/src/kitebar-cli hits --recent --all    # back-test of the last 500 draws
or start the window on a virtual display:
  cd run && xvfb-run -a ../build/src/app/kitebar
The prediction of the next draw, written to run/showyosou.html:
MESSAGE
exec ../build/src/kitebar-cli predict
