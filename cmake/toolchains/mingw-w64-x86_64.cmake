# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers. The
# "-posix" variants use POSIX threads underneath, which std::thread,
# std::jthread and std::mutex need.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KITEBAR_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KITEBAR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KITEBAR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KITEBAR_MINGW_TRIPLET}-windres)

# Headers and libraries come from the MinGW tree only; programs (such as
# Wine) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KITEBAR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt for the same compilers (the windows preset points at ../shared/qt6-mingw
# beside the project): its packages are found under a root path of its own.
if(KITEBAR_QT_MINGW_DIR)
  get_filename_component(KITEBAR_QT_MINGW_DIR "${KITEBAR_QT_MINGW_DIR}" ABSOLUTE)
  list(APPEND CMAKE_FIND_ROOT_PATH ${KITEBAR_QT_MINGW_DIR})
  list(APPEND CMAKE_PREFIX_PATH ${KITEBAR_QT_MINGW_DIR})
endif()

# ctest runs the test programs under Wine.
find_program(KITEBAR_WINE NAMES wine wine64)
if(KITEBAR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KITEBAR_WINE})
endif()
