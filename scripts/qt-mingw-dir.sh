# Sourced by the Windows scripts: sets `qt` to Qt for MinGW
# (KITEBAR_QT_MINGW_DIR, default ../shared/qt6-mingw) or ends the script,
# named by $1, with how to get one.
qt=$(readlink -m "${KITEBAR_QT_MINGW_DIR:-../shared/qt6-mingw}")
if [ ! -f "$qt/lib/cmake/Qt6/Qt6Config.cmake" ]; then
  echo "$1: no Qt for MinGW in $qt. Build it with" \
    "'bash scripts/build-qt-mingw.sh $qt' (about 40 minutes), or set KITEBAR_QT_MINGW_DIR" \
    "to the folder of one built that way." >&2
  exit 1
fi
