# What the Windows build adds: a runtime linked in statically, so that each
# .exe runs on a bare Windows (and under Wine) without the MinGW DLLs; Unicode
# Windows API names; and the header-only CLI11. The cross build takes the
# build machine's, which sits among its other headers (/usr/include): it is
# reached through a folder that holds only it.
target_link_options(kitebar_options INTERFACE -static -static-libgcc -static-libstdc++)
target_compile_definitions(kitebar_options INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                     _WIN32_WINNT=0x0A00)

set(KITEBAR_CLI11_SOURCE_DIR /usr/include/CLI CACHE PATH "The folder CLI.hpp of CLI11 is in")
if(NOT EXISTS ${KITEBAR_CLI11_SOURCE_DIR}/CLI.hpp)
  message(FATAL_ERROR "CLI11 not found in ${KITEBAR_CLI11_SOURCE_DIR}: install libcli11-dev, or "
                      "set KITEBAR_CLI11_SOURCE_DIR to the folder that holds CLI.hpp")
endif()
get_filename_component(KITEBAR_CLI11_PARENT ${KITEBAR_CLI11_SOURCE_DIR} DIRECTORY)
if(KITEBAR_CLI11_PARENT STREQUAL "/usr/include")
  set(KITEBAR_CLI11_INCLUDE_DIR ${PROJECT_BINARY_DIR}/cli11-include)
  file(MAKE_DIRECTORY ${KITEBAR_CLI11_INCLUDE_DIR})
  file(CREATE_LINK ${KITEBAR_CLI11_SOURCE_DIR} ${KITEBAR_CLI11_INCLUDE_DIR}/CLI SYMBOLIC)
else()
  set(KITEBAR_CLI11_INCLUDE_DIR ${KITEBAR_CLI11_PARENT})
endif()

# At -O3, GCC 12 warns falsely about string concatenation (-Wrestrict, in its
# own headers); the Windows build optimises at -O2, as the Linux one does.
string(REPLACE "-O3" "-O2" CMAKE_CXX_FLAGS_RELEASE "${CMAKE_CXX_FLAGS_RELEASE}")

# The MinGW runtime DLLs that Qt's DLLs load (the programs link theirs in).
set(KITEBAR_MINGW_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(IS_ABSOLUTE "${path}" AND EXISTS "${path}")
    list(APPEND KITEBAR_MINGW_RUNTIME_DLLS ${path})
  endif()
endforeach()
