#!/usr/bin/env bash
# The desktop program for Windows as its user meets it, under Wine and Xvfb:
# kitebar.exe, unpacked from the release archive into a fresh Wine prefix,
# starts in %LOCALAPPDATA%\Kitebar, which its first start fills from
# numbers3.csv, and shows its main window "Kitebar - …" with a note of where
# the data folder is; the menu 基本設定 >
# 当選データ管理 opens 当選番号編集, where the next draw's number is typed and
# registered. The Linux desktop program does the same, with the same keys, on
# the same X server in a folder that the Linux kitebar-cli filled from the same
# CSV, and the two folders must end byte for byte the same. Prints the time
# each program took to show its main window, and the archive's size.
#   $1                  the archive (default: build-windows/kitebar-windows-x64.zip)
#   KITEBAR_LINUX_APP   the Linux desktop program (default: build-ci/src/app/kitebar)
#   KITEBAR_LINUX_CLI   the Linux kitebar-cli (default: build-ci/src/kitebar-cli)
#   KITEBAR_SCREENSHOTS a folder to keep pictures of kitebar.exe's windows in
set -euo pipefail
cd "$(dirname "$0")/.."
archive=$(readlink -f "${1:-build-windows/kitebar-windows-x64.zip}")
linux_app=$(readlink -f "${KITEBAR_LINUX_APP:-build-ci/src/app/kitebar}")
linux_cli=$(readlink -f "${KITEBAR_LINUX_CLI:-build-ci/src/kitebar-cli}")
screenshots=${KITEBAR_SCREENSHOTS:+$(readlink -f "$KITEBAR_SCREENSHOTS")}
csv=$PWD/data/numbers3.csv
# The prediction record's entries carry their time: fixed, so that both
# programs write the same bytes.
export KITEBAR_RECORD_TIME=2025-01-06T09:30:00Z

work=$(mktemp -d)
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
xvfb=
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "smoke test: $*" >&2
  if [ -n "$screenshots" ]; then import -window root "$screenshots/failure.png" || true; fi
  exit 1
}
milliseconds() { echo $(($(date +%s%N) / 1000000)); }

# Waits up to $2 seconds for a shown window whose title matches $1; prints its id.
wait_for_window() {
  local deadline=$(($(milliseconds) + $2 * 1000)) id
  while [ "$(milliseconds)" -lt "$deadline" ]; do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# Waits up to $2 seconds for process $1 to end.
wait_for_exit() {
  local deadline=$(($(milliseconds) + $2 * 1000))
  while kill -0 "$1" 2>/dev/null; do
    [ "$(milliseconds)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
  wait "$1" 2>/dev/null || true
}

# The menu by keyboard, as the menu bar has it: Alt+H opens ﾍﾙﾌﾟ(&H), Left
# moves to 基本設定 with its first item, 当選データ管理, chosen.
open_winning_numbers() {
  local attempt
  for attempt in 1 2 3; do
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    xdotool key Escape Escape
    sleep 0.3
    xdotool key alt+h
    sleep 0.5
    xdotool key Left
    sleep 0.5
    xdotool key Return
    if wait_for_window '^当選番号編集$' 10 >/dev/null; then
      return 0
    fi
  done
  return 1
}

# The first start of kitebar.exe tells where the data folder is, in a box
# over the main window with the same title: Enter closes it. Waits for the
# box, then for the main window alone.
dismiss_first_start_note() {
  local deadline=$(($(milliseconds) + 30000)) box
  until [ "$(xdotool search --onlyvisible --name '^Kitebar -' 2>/dev/null | wc -l)" -ge 2 ]; do
    [ "$(milliseconds)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
  sleep 0.5
  if [ -n "$screenshots" ]; then import -window root "$screenshots/first-start.png"; fi
  # The box came second; without a window manager the keyboard follows the
  # focus that is set, not the window on top.
  box=$(xdotool search --onlyvisible --name '^Kitebar -' 2>/dev/null | sort -n | tail -n 1)
  xdotool windowfocus --sync "$box" 2>/dev/null || true
  xdotool key Return
  until [ "$(xdotool search --onlyvisible --name '^Kitebar -' 2>/dev/null | wc -l)" -le 1 ]; do
    [ "$(milliseconds)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# Starts `$@` in the current folder, registers 123 as the next draw (7089)
# through the dialog, closes the dialog and ends the program with 終了 (the
# menu bar item after ﾍﾙﾌﾟ). Prints the milliseconds to the main window.
register_through_dialog() {
  local started window dialog program shown
  started=$(milliseconds)
  "$@" >/dev/null 2>&1 &
  program=$!
  window=$(wait_for_window '^Kitebar -' 60) || fail "no main window from $*"
  shown=$(($(milliseconds) - started))
  if [ "$first_start_note" = yes ]; then
    dismiss_first_start_note || fail "no note of the data folder at the first start of $*"
    window=$(wait_for_window '^Kitebar -' 5)
  fi
  if [ -n "$screenshots" ] && [ "$1" = wine ]; then
    sleep 1
    import -window "$window" "$screenshots/main-window.png"
  fi
  open_winning_numbers "$window" || fail "the menu did not open 当選番号編集 in $*"
  dialog=$(wait_for_window '^当選番号編集$' 5)
  sleep 0.5
  xdotool type --delay 50 123
  # The entry has the focus; "<<修正" and then "登録>>" follow it.
  xdotool key Tab Tab space
  local deadline=$(($(milliseconds) + 30000))
  until grep -q '^7089,123,' "$history" 2>/dev/null; do
    [ "$(milliseconds)" -lt "$deadline" ] || fail "$* did not register 123 as draw 7089"
    sleep 0.1
  done
  if [ -n "$screenshots" ] && [ "$1" = wine ]; then
    sleep 0.5
    import -window "$dialog" "$screenshots/winning-number-dialog.png"
  fi
  xdotool key Escape
  sleep 0.5
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key alt+h
  sleep 0.5
  xdotool key Right Return
  wait_for_exit "$program" 30 || fail "$* did not end through 終了"
  echo "$shown"
}

# A display of its own, whose number Xvfb reports when it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
export DISPLAY=":$(cat "$work/display")"

# A fresh Windows user, and a server that stays up between the programs'
# runs (with its desktop on this display, which is why the prefix is made
# here too). There is no window manager: the windows show without frames.
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot --init >/dev/null 2>&1 || true
mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$archive")
program_folder=$(find "$work/unpacked" -name kitebar.exe -printf '%h\n')
windows_folder=$(find "$WINEPREFIX/drive_c/users" -maxdepth 3 -path '*/AppData/Local' | head -n 1)/Kitebar
[ -e "$windows_folder" ] && fail "$windows_folder exists before the first start"

mkdir "$work/linux"
(cd "$work/linux" && "$linux_cli" load-csv "$csv" >/dev/null)

# The first start, from a folder that is not the working folder.
history="$windows_folder/kitebarnum.dat"
first_start_note=yes
windows_first=$(cd "$work" && register_through_dialog wine "$program_folder/kitebar.exe")
first_start_note=no

# A later start, of a program and a folder that are there already.
started=$(milliseconds)
wine "$program_folder/kitebar.exe" >/dev/null 2>&1 &
program=$!
window=$(wait_for_window '^Kitebar -' 60) || fail "no main window at the second start"
windows_again=$(($(milliseconds) - started))
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key alt+h
sleep 0.5
xdotool key Right Return
wait_for_exit "$program" 30 || fail "kitebar.exe did not end at the second start"

history="$work/linux/kitebarnum.dat"
linux_first=$(cd "$work/linux" && register_through_dialog env QT_QPA_PLATFORM=xcb "$linux_app")

compared=0
for file in "$work/linux"/*; do
  name=$(basename "$file")
  cmp -s "$file" "$windows_folder/$name" ||
    fail "kitebar.exe left another $name than the Linux program"
  compared=$((compared + 1))
done
[ "$(ls "$work/linux")" = "$(ls "$windows_folder")" ] ||
  fail "kitebar.exe left other files than the Linux program: $(ls "$windows_folder" | tr '\n' ' ')"

echo "kitebar.exe: main window, 当選番号編集 and the registration; $compared files identical to the Linux program's"
echo "main window shown after: kitebar.exe under Wine ${windows_first} ms (first start, folder" \
  "filled), ${windows_again} ms (later start); Linux kitebar ${linux_first} ms"
echo "$(basename "$archive"): $(stat -c %s "$archive") bytes," \
  "$(du -sb "$program_folder" | cut -f 1) bytes unpacked;" \
  "Linux kitebar and kitebar-cli: $(($(stat -c %s "$linux_app") + $(stat -c %s "$linux_cli"))) bytes" \
  "(with debugging symbols, Qt from Debian)"
