#!/usr/bin/env bash
# The Windows build, checked on Linux: cross-builds the core, kitebar-cli.exe,
# the desktop program kitebar.exe (with Qt from ../shared/qt6-mingw) and the
# test suites for 64-bit Windows (cmake --preset windows), runs every suite
# (the desktop program's under Qt's offscreen platform) under Wine in a fresh,
# headless Wine prefix, then runs
# kitebar-cli.exe on the bundled history beside the Linux kitebar-cli and
# compares every file they write (the prediction record too), their stdout,
# stderr and exit status, byte for byte.
#   KITEBAR_LINUX_CLI     the Linux kitebar-cli to compare with (default: built
#                         here in build-compare-linux, without the desktop program)
#   KITEBAR_QT_MINGW_DIR  Qt for MinGW (default: ../shared/qt6-mingw), as for
#                         scripts/package-windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/install-windows-deps.sh

# shellcheck source=scripts/qt-mingw-dir.sh
source scripts/qt-mingw-dir.sh test-windows.sh
echo "-- cross build (build-windows)"
cmake --preset windows -DKITEBAR_QT_MINGW_DIR="$qt" >/dev/null
cmake --build --preset windows -j"$(nproc)"

work=$(mktemp -d)
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEARCH=win64
# No display, and no prompts to install Mono or Gecko into the new prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
wineboot --init >/dev/null 2>&1 || true

echo "-- test suites under Wine"
# On a virtual display of its own: Wine gives a program a working console
# (for the console output's tests) only where it can show one. The desktop
# program's suites draw offscreen all the same.
if ! xvfb-run -a ctest --preset windows -j"$(nproc)"; then
  grep -l -E '^(FAIL!|QFATAL)' build-windows/tests/app/work/*/qtest.txt 2>/dev/null |
    xargs -r -I{} sh -c 'echo "== {}" >&2; cat "{}" >&2'
  exit 1
fi

linux_cli=${KITEBAR_LINUX_CLI:-}
if [ -z "$linux_cli" ]; then
  cmake -S . -B build-compare-linux -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKITEBAR_BUILD_GUI=OFF \
    -DKITEBAR_BUILD_TESTS=OFF >/dev/null
  cmake --build build-compare-linux -j"$(nproc)" --target kitebar-cli
  linux_cli=build-compare-linux/src/kitebar-cli
fi
linux_cli=$(readlink -f "$linux_cli")
windows_cli="$root/build-windows/src/kitebar-cli.exe"

# The same commands in two fresh folders; each one's stdout, stderr and exit
# status are kept as files of the folder. The CSV has a Japanese name, which
# reaches the Windows program through its wide command line. The prediction
# record's entries carry their time: fixed here, so that both builds write
# the same bytes, chain values included.
export KITEBAR_RECORD_TIME=2025-01-06T09:30:00Z
run_commands() {
  local folder=$1
  shift
  mkdir -p "$folder"
  cp data/numbers3.csv "$folder/当選番号.csv"
  local step=0
  while IFS= read -r command; do
    step=$((step + 1))
    # shellcheck disable=SC2086  # the command's words are split on purpose
    (cd "$folder" && set +e && "$@" $command >"out.$step" 2>"err.$step"
      echo $? >"status.$step")
  done <<'COMMANDS'
load-csv 当選番号.csv
predict
predict --draw 7000
hits --recent
hits --all
analyse --draw 7000
settings set-core StepNum=40
settings
register 12x
evaluate
tune --train-to 6000 --kind straight --threads 2
tune --train-to 6000 --threads 2
register 123
predict --draw 7090
record
COMMANDS
}

echo "-- kitebar-cli.exe under Wine against the Linux kitebar-cli"
run_commands "$work/linux" "$linux_cli"
run_commands "$work/windows" wine "$windows_cli"
compared=0
for file in "$work/linux"/*; do
  name=$(basename "$file")
  if ! cmp -s "$file" "$work/windows/$name"; then
    echo "kitebar-cli.exe differs from the Linux build in $name:" >&2
    diff <(od -c "$file") <(od -c "$work/windows/$name") | head -20 >&2 || true
    exit 1
  fi
  compared=$((compared + 1))
done
if [ "$(ls "$work/linux" | wc -l)" -ne "$(ls "$work/windows" | wc -l)" ]; then
  echo "kitebar-cli.exe wrote other files than the Linux build:" >&2
  diff <(ls "$work/linux") <(ls "$work/windows") >&2 || true
  exit 1
fi
echo "kitebar-cli.exe: $compared files, outputs and exit statuses identical to the Linux build's"
