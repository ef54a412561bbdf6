#!/usr/bin/env bash
# The setup program as a Windows user meets it, under Wine in a fresh prefix:
# /S installs it without administrator rights into
# %LOCALAPPDATA%\Programs\Kitebar, with the Start menu entry and the uninstall
# entry of Apps & Features; the installed kitebar-cli.exe runs and fills the
# data folder %LOCALAPPDATA%\Kitebar; installing again over it keeps the data;
# /S uninstalls the program, its entry and its key, and the data stays.
# Prints the seconds it took.
#   $1  the setup program (default: build-windows/kitebar-setup-1.0-x64.exe)
set -euo pipefail
cd "$(dirname "$0")/.."
setup=$(readlink -f "${1:-build-windows/kitebar-setup-1.0-x64.exe}")
started=$(date +%s)

work=$(mktemp -d)
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" \
  DISPLAY=
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "installer check: $*" >&2
  exit 1
}
wineboot --init >/dev/null 2>&1 || true

unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
local_app_data=$(wine cmd /c echo '%LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
programs=$(unix_path "$local_app_data\\Programs\\Kitebar")
data=$(unix_path "$local_app_data\\Kitebar")
start_menu=$(unix_path "$(wine cmd /c echo '%APPDATA%' 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs")
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kitebar'

install() {
  wine "$setup" /S
  wineserver -w
}
# The uninstall key as regedit exports it (UTF-16): `wine reg query` would
# print the Japanese name as question marks into a pipe.
uninstall_key() {
  wine reg export "$key" "$(winepath -w "$work/key.reg")" /y >/dev/null 2>&1 || return 1
  iconv -f UTF-16 -t UTF-8 "$work/key.reg" | tr -d '\r'
}

install
[ -f "$programs/kitebar.exe" ] && [ -f "$programs/kitebar-cli.exe" ] ||
  fail "nothing in $programs"
[ -f "$start_menu/Kitebar ナンバーズシミュレータ.lnk" ] || fail "no Start menu entry in $start_menu"
uninstall_key >"$work/key.txt" || fail "no uninstall key $key"
for entry in '"DisplayName"="Kitebar ナンバーズシミュレータ"' '"DisplayVersion"="1.0"' \
  '"Publisher"="Kitebar Developer"' '"NoModify"=dword:00000001' '"NoRepair"=dword:00000001' \
  '"DisplayIcon"=".*\\kitebar.exe,0"' '"UninstallString"="\\".*\\uninstall.exe\\""' \
  '"QuietUninstallString"="\\".*\\uninstall.exe\\" /S"' '"EstimatedSize"=dword:0000[0-9a-f]*'; do
  grep -qx "$entry" "$work/key.txt" || fail "the uninstall key lacks $entry: $(cat "$work/key.txt")"
done

wine "$programs/kitebar-cli.exe" --version | tr -d '\r' | grep -q '1\.0' ||
  fail "the installed kitebar-cli.exe does not run"
mkdir -p "$data"
(cd "$data" && wine "$programs/kitebar-cli.exe" load-csv "$programs/numbers3.csv" >/dev/null 2>&1) ||
  fail "the installed kitebar-cli.exe cannot fill $data"
cp "$data/kitebarnum.dat" "$work/history"

# A second install over the first, as an update would: the data stays.
install
cmp -s "$data/kitebarnum.dat" "$work/history" || fail "installing again changed the data"

wine "$programs/uninstall.exe" /S
wineserver -w
[ ! -e "$programs/kitebar.exe" ] || fail "the uninstaller left kitebar.exe"
[ ! -e "$programs" ] || fail "the uninstaller left $(ls "$programs" | head -n 3 | tr '\n' ' ')"
[ ! -e "$start_menu/Kitebar ナンバーズシミュレータ.lnk" ] || fail "the Start menu entry is left"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstall key is left"
cmp -s "$data/kitebarnum.dat" "$work/history" || fail "uninstalling touched the data in $data"

echo "$(basename "$setup"): $(stat -c %s "$setup") bytes; installed, run, installed again and" \
  "uninstalled under Wine with the data kept, in $(($(date +%s) - started)) s"
