#!/usr/bin/env bash
# Builds Qt 6 (Core, Gui, Widgets, PrintSupport, Test, the windows platform plugin and styles)
# for 64-bit Windows with Debian's MinGW-w64 compiler, from Debian's own qt6-base source
# package, the same version as Debian's Linux Qt, whose host tools (moc, rcc, uic) it uses.
# Tablet events are off: Debian's source leaves out the third-party wintab header they need.
# The Qt for MinGW that scripts/test-windows.sh and scripts/package-windows.sh build with
# (by default ../shared/qt6-mingw beside the clone; KITEBAR_QT_MINGW_DIR names another).
# Usage: scripts/build-qt-mingw.sh PREFIX   (about 40 minutes on 2 cores; adds deb-src for
# Debian's main archive when it is missing, through sudo when not run as root)
set -euo pipefail
prefix=$(realpath -m "${1:?usage: scripts/build-qt-mingw.sh PREFIX}")
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
bash "$(dirname "$0")/install-packages.sh" g++-mingw-w64-x86-64-posix ninja-build cmake \
  qt6-base-dev qt6-base-dev-tools dpkg-dev
work=$(mktemp -d)
if [ -z "$(apt-cache showsrc qt6-base 2>/dev/null)" ]; then
  # Debian's source packages come from the same archive as its binary packages: add deb-src
  # to the archive's entry that this machine already uses.
  for f in /etc/apt/sources.list.d/*.sources; do
    grep -q '^Types: deb$' "$f" || continue
    sed 's/^Types: deb$/Types: deb-src/' "$f" | "${as_root[@]}" tee /etc/apt/sources.list.d/zz-deb-src.sources >/dev/null
    break
  done
  "${as_root[@]}" apt-get update -qq
fi
cd "$work"
apt-get source --download-only qt6-base >/dev/null
tar -xJf qt6-base_*.orig.tar.xz
cat > mingw.cmake <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC
cmake -G Ninja -S qtbase-everywhere-src-* -B build \
  -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  "-DCMAKE_C_FLAGS=-ffile-prefix-map=$work/=" "-DCMAKE_CXX_FLAGS=-ffile-prefix-map=$work/=" \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=ON -DFEATURE_vulkan=OFF \
  -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_zstd=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_doubleconversion=OFF
cmake --build build --parallel "$(nproc)"
cmake --install build
x86_64-w64-mingw32-strip --strip-unneeded "$prefix"/bin/*.dll "$prefix"/plugins/*/*.dll
# Keep the tree relocatable: CMake's package files find their own folder; the qmake and
# pkg-config files, the build-internal CMake files and the host scripts hold absolute paths.
find "$prefix" \( -name '*.prl' -o -name '*.pc' -o -name '*.pri' \) -delete
rm -rf "$prefix"/lib/cmake/Qt6BuildInternals "$prefix"/lib/cmake/Qt6/qt.toolchain.cmake \
  "$prefix"/bin/target_qt.conf "$prefix"/bin/qmake "$prefix"/bin/qtpaths "$prefix"/bin/qt-* "$prefix"/doc
rm -rf "$work"
