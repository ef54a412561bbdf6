#!/usr/bin/env bash
# Makes the release archive for Windows, build-windows/kitebar-windows-x64.zip
# (it took the place of the command line's own kitebar-cli-windows-x64.zip),
# and the setup program that installs the same folder,
# build-windows/kitebar-setup-<version>-x64.exe (packaging/windows/kitebar.nsi):
#   kitebar.exe, kitebar-cli.exe        built with `cmake --preset windows`
#   Qt6*.dll, MinGW runtime DLLs        exactly those the programs and the
#                                       plugins load, found from their imports
#   platforms/qwindows.dll, styles/qwindowsvistastyle.dll
#   translations/qtbase_ja.qm, qt.conf  Qt's own texts in Japanese, found
#                                       through qt.conf as on Linux
#   numbers3.csv, README.txt, web-import.txt (the import's documentation),
#   LICENSE-Qt.txt and qt-build.sh (Qt's licence and how it was built:
#   scripts/build-qt-mingw.sh)
# The text files are UTF-8 with a byte order mark and CR LF line ends, as
# Notepad expects. Prints the setup program's path, then the archive's.
#   KITEBAR_QT_MINGW_DIR  Qt for MinGW (default: ../shared/qt6-mingw), as
#                         scripts/build-qt-mingw.sh builds it
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-windows-deps.sh
# shellcheck source=scripts/qt-mingw-dir.sh
source scripts/qt-mingw-dir.sh package-windows.sh
cmake --preset windows -DKITEBAR_QT_MINGW_DIR="$qt" >/dev/null
cmake --build --preset windows -j"$(nproc)" --target kitebar kitebar-cli

name=kitebar-windows-x64
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
out="$stage/$name"
mkdir -p "$out/platforms" "$out/styles" "$out/translations"
for program in src/app/kitebar.exe src/kitebar-cli.exe; do
  x86_64-w64-mingw32-strip -o "$out/$(basename "$program")" "build-windows/$program"
done
cp "$qt/plugins/platforms/qwindows.dll" "$out/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$out/styles/"

# The DLLs that the programs and plugins import, and theirs in turn; the
# system's own (KERNEL32.dll and the like) are in none of these folders.
dll_folders=("$qt/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
imports() {
  x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'
}
pending=("$out/kitebar.exe" "$out/kitebar-cli.exe" "$out/platforms/qwindows.dll"
  "$out/styles/qwindowsvistastyle.dll")
while [ ${#pending[@]} -gt 0 ]; do
  binary=${pending[0]}
  pending=("${pending[@]:1}")
  while IFS= read -r dll; do
    [ -e "$out/$dll" ] && continue
    for folder in "${dll_folders[@]}"; do
      if [ -f "$folder/$dll" ]; then
        # Qt's DLLs go unchanged; the MinGW runtime's without their debugging
        # symbols (most of libstdc++-6.dll's size).
        if [ "$folder" = "$qt/bin" ]; then
          cp "$folder/$dll" "$out/$dll"
        else
          x86_64-w64-mingw32-strip --strip-unneeded -o "$out/$dll" "$folder/$dll"
        fi
        pending+=("$out/$dll")
        break
      fi
    done
  done < <(imports "$binary")
done

# Qt finds its plugins beside the program and its translations in
# translations/, where QLibraryInfo looks once qt.conf names the folder.
cp /usr/share/qt6/translations/qtbase_ja.qm "$out/translations/"
text_file() {
  printf '\xef\xbb\xbf'
  sed 's/\r$//; s/$/\r/' "$@"
}
cp packaging/windows/qt.conf "$out/qt.conf"
cp data/numbers3.csv "$out/numbers3.csv"
text_file packaging/windows/README.txt >"$out/README.txt"
text_file docs/web-import.md >"$out/web-import.txt"
text_file packaging/windows/LICENSE-Qt.txt /usr/share/common-licenses/LGPL-3 \
  /usr/share/common-licenses/GPL-3 >"$out/LICENSE-Qt.txt"
cp scripts/build-qt-mingw.sh "$out/qt-build.sh"

archive="$PWD/build-windows/$name.zip"
rm -f "$archive"
# -X: no Unix owners or permissions in the archive.
(cd "$stage" && zip -q -X -r "$archive" "$name")

# The setup program installs the same files; its uninstaller removes those
# and no others (the deepest folders first), from a list made here.
version=$(sed -n 's/^project(Kitebar VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
setup="$PWD/build-windows/kitebar-setup-$version-x64.exe"
{
  (cd "$out" && find . -type f | sort) | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|'
  (cd "$out" && find . -mindepth 1 -type d | sort -r) |
    sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|'
} >"$stage/files.nsh"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DPROGRAM="$out" \
  -DICON="$PWD/build-windows/icons/kitebar.ico" -DFILES="$stage/files.nsh" -DOUTFILE="$setup" \
  packaging/windows/kitebar.nsi >/dev/null
echo "$setup"
echo "$archive"
