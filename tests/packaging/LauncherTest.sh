#!/usr/bin/env bash
# Installs the build into a temporary prefix, then checks the installed files
# and the launcher: a first start fills the user's working folder from the
# bundled history, later starts leave the user's files alone, a failed first
# start leaves no history behind, and the program starts inside the folder.
#   LauncherTest.sh CMAKE BUILD_FOLDER WITH_DESKTOP_PROGRAM(0|1)
set -uo pipefail
cmake=$1
build=$2
with_gui=$3

scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null || exit 1
launcher=$prefix/bin/kitebar-launch
cli=$prefix/bin/kitebar-cli
sample=$prefix/share/kitebar/numbers3.csv
last_draw=$((10#$(tail -n 1 "$sample" | cut -d, -f1)))

failures=0
fail() {
  echo "FAIL [$current]: $*" >&2
  failures=$((failures + 1))
}
expect_equal() {
  [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"
}

# A home of its own for each case; the launcher sees only HOME, PATH and what
# the case adds (for example XDG_DATA_HOME=...).
new_home() {
  home=$scratch/$current
  mkdir -p "$home"
}
launch() {
  env -i PATH="$PATH" LC_ALL=C.UTF-8 HOME="$home" "$@"
}

current=installed-files
for file in bin/kitebar-cli bin/kitebar-launch share/kitebar/numbers3.csv \
  share/doc/kitebar/copyright share/doc/kitebar/changelog.gz \
  share/man/man1/kitebar-cli.1.gz share/man/man1/kitebar-launch.1.gz; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$launcher" ] || fail "the launcher is not executable"

# Every manual page reads without a complaint of the formatter, and the page
# of kitebar-cli has a section for each command that the program lists.
current=manual-pages
for page in "$prefix"/share/man/man1/*.1.gz; do
  if command -v groff >/dev/null; then
    complaints=$(zcat "$page" | groff -man -ww -z -K utf8 -T utf8 2>&1)
    [ -z "$complaints" ] || fail "$(basename "$page"): $complaints"
  fi
done
page=$(zcat "$prefix/share/man/man1/kitebar-cli.1.gz" 2>/dev/null)
commands=$("$cli" --help | awk '/^Subcommands:$/ { inside = 1; next } inside && NF { print $1 }')
[ -n "$commands" ] || fail "kitebar-cli --help lists no commands"
for command in $commands; do
  # A here-string, not a pipe: grep -q leaves at the first match, and the
  # writer of a page longer than the pipe's buffer would die of SIGPIPE.
  grep -qxF ".SS ${command//-/\\-}" <<<"$page" ||
    fail "the manual page of kitebar-cli has no section for $command"
done
if [ "$with_gui" = 1 ]; then
  for file in bin/kitebar share/applications/kitebar.desktop share/man/man1/kitebar.1.gz \
    share/metainfo/invalid.kitebar.kitebar.metainfo.xml \
    share/icons/hicolor/64x64/apps/kitebar.png share/icons/hicolor/256x256/apps/kitebar.png; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
  done
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/invalid.kitebar.kitebar.metainfo.xml" \
      >/dev/null || fail "the AppStream description is not valid"
  fi
  entry=$prefix/share/applications/kitebar.desktop
  for line in '^Exec=kitebar-launch$' '^Icon=kitebar$' '^Name=' '^Name\[ja\]=' '^Comment=' \
    '^Comment\[ja\]='; do
    grep -q "$line" "$entry" || fail "the desktop entry has no line $line"
  done
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "the desktop entry is not valid"
  else
    echo "desktop-file-validate is not installed: the desktop entry was not validated"
  fi
fi

current=first-start
new_home
folder=$(launch XDG_DATA_HOME="$home/data" "$launcher" --prepare-only) || fail "exit status $?"
expect_equal "$folder" "$home/data/kitebar" "printed folder"
count=$(cd "$folder" && "$cli" history | head -n 1)
expect_equal "$count" "count $last_draw" "history of the seeded folder"
prediction=$(cd "$folder" && "$cli" predict | head -n 1)
expect_equal "$prediction" "第 $((last_draw + 1)) 回" "prediction in the seeded folder"
[ -f "$folder/showyosou.html" ] || fail "no prediction page"

# Where the folder goes, for XDG_DATA_HOME unset, empty, relative (invalid,
# so ignored) and absolute with a trailing slash.
for setting in unset empty relative trailing-slash; do
  current=folder-$setting
  new_home
  case $setting in
    unset) environment=() expected=$home/.local/share/kitebar ;;
    empty) environment=(XDG_DATA_HOME=) expected=$home/.local/share/kitebar ;;
    relative) environment=(XDG_DATA_HOME=data) expected=$home/.local/share/kitebar ;;
    trailing-slash) environment=(XDG_DATA_HOME="$home/data/") expected=$home/data/kitebar ;;
  esac
  folder=$(cd "$home" && launch "${environment[@]}" "$launcher" --prepare-only) ||
    fail "exit status $?"
  expect_equal "$folder" "$expected" "printed folder"
  [ -f "$expected/kitebarnum.dat" ] || fail "no history in $expected"
  [ ! -e "$home/data/kitebarnum.dat" ] || fail "history written beside the data folder"
done

current=later-start-keeps-the-users-files
new_home
folder=$(launch "$launcher" --prepare-only) || fail "first start: exit status $?"
# The user's own history, much shorter than the bundled one.
printf '0001,123\r\n0002,456\r\n' >"$folder/kitebarnum.dat"
(cd "$folder" && "$cli" register 789 >/dev/null) || fail "register failed"
before=$(cat "$folder/kitebarnum.dat" "$folder/Kitebard.dat" | md5sum)
launch "$launcher" --prepare-only >/dev/null || fail "second start: exit status $?"
after=$(cat "$folder/kitebarnum.dat" "$folder/Kitebard.dat" | md5sum)
expect_equal "$after" "$before" "files after the second start"
expect_equal "$(cd "$folder" && "$cli" history | head -n 1)" "count 3" "history after the second start"

current=missing-history-is-seeded-beside-the-settings
new_home
folder=$home/.local/share/kitebar
mkdir -p "$folder"
printf '[Sys]\r\nStepNum=7\r\n' >"$folder/base.ini"
launch "$launcher" --prepare-only >/dev/null || fail "exit status $?"
[ -f "$folder/kitebarnum.dat" ] || fail "no history"
expect_equal "$(cat "$folder/base.ini")" "$(printf '[Sys]\r\nStepNum=7\r\n')" "settings file"

current=failed-first-start-leaves-no-history
new_home
folder=$home/.local/share/kitebar
mv "$sample" "$sample.away"
launch "$launcher" --prepare-only >"$home/out" 2>"$home/err" && fail "succeeded without the sample"
grep -q '作業フォルダを用意できません' "$home/err" || fail "no message: $(cat "$home/err")"
[ ! -s "$home/out" ] || fail "printed a folder although it failed"
[ ! -e "$folder/kitebarnum.dat" ] || fail "a history was left behind"
mv "$sample.away" "$sample"
launch "$launcher" --prepare-only >/dev/null || fail "the next start failed"
[ -f "$folder/kitebarnum.dat" ] || fail "the next start made no history"

current=no-home
new_home
env -i PATH="$PATH" "$launcher" --prepare-only 2>"$home/err"
expect_equal "$?" 1 "exit status"
grep -q 'HOME' "$home/err" || fail "no message: $(cat "$home/err")"

current=usage
new_home
launch "$launcher" --prepare-only extra 2>/dev/null
expect_equal "$?" 2 "exit status"

# Help touches nothing and starts nothing, with or without a display.
current=help
new_home
help=$(launch "$launcher" --help)
expect_equal "$?" 0 "exit status"
grep -q -- '--prepare-only' <<<"$help" || fail "no usage: $help"
grep -qF "$home/.local/share/kitebar" <<<"$help" || fail "no working folder in the usage: $help"
[ ! -e "$home/.local/share/kitebar" ] || fail "help prepared the folder"
if [ "$with_gui" = 1 ]; then
  help=$(launch "$prefix/bin/kitebar" --help 2>&1)
  expect_equal "$?" 0 "exit status of kitebar --help"
  grep -q 'kitebar-launch' <<<"$help" || fail "no usage of kitebar: $help"
  version=$(launch "$prefix/bin/kitebar" --version 2>&1)
  expect_equal "$?/$version" "0/kitebar 1.0" "kitebar --version"
  message=$(launch "$prefix/bin/kitebar" 2>&1)
  expect_equal "$?" 1 "exit status of kitebar without a display"
  grep -q '画面' <<<"$message" || fail "no message without a display: $message"
fi

# The program itself is replaced by a stub that reports where it runs.
current=starts-the-program-in-the-folder
new_home
cat >"$prefix/bin/kitebar" <<STUB
#!/bin/sh
printf '%s|%s|%s\n' "\$PWD" "\$#" "\$*" >"\$HOME/started"
printf '%s' "\${KITEBAR_LAUNCH_PROBLEM:-}" >"\$HOME/problem"
exit 7
STUB
chmod +x "$prefix/bin/kitebar"
mkdir -p "$home/links"
ln -s "$launcher" "$home/links/kitebar-launch"
launch XDG_DATA_HOME="$home/data" KITEBAR_LAUNCH_PROBLEM=stale "$home/links/kitebar-launch" \
  "a file.dat"
expect_equal "$?" 7 "exit status of the program"
expect_equal "$(cat "$home/started")" "$home/data/kitebar|1|a file.dat" "program start"
[ ! -s "$home/problem" ] || fail "a problem reached the program: $(cat "$home/problem")"
[ -f "$home/data/kitebar/kitebarnum.dat" ] || fail "no history before the start"

current=starts-the-program-even-without-a-history
new_home
mv "$sample" "$sample.away"
launch "$launcher" 2>"$home/err"
expect_equal "$?" 7 "exit status of the program"
mv "$sample.away" "$sample"
expect_equal "$(cat "$home/started")" "$home/.local/share/kitebar|0|" "program start"
grep -q '作業フォルダを用意できません' "$home/err" || fail "no message: $(cat "$home/err")"
# The window says why, too: the user who started it from the menu sees no
# terminal.
grep -q 'numbers3.csv' "$home/problem" || fail "no cause for the window: $(cat "$home/problem")"

current=cause-of-an-unprepared-folder-reaches-the-program
new_home
mkdir -p "$home/.local/share/kitebar/kitebar.lock"
launch "$launcher" 2>/dev/null
expect_equal "$?" 7 "exit status of the program"
grep -q 'kitebar.lock' "$home/problem" || fail "no cause for the window: $(cat "$home/problem")"
grep -q 'kitebar-cli: ' "$home/problem" && fail "the cause keeps the prefix of kitebar-cli"

if [ "$failures" -ne 0 ]; then
  echo "$failures failures" >&2
  exit 1
fi
echo "installed files and launcher: all cases passed"
