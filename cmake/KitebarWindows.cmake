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

# Each program carries its icon, its version information and an application
# manifest (packaging/windows/resources), through MinGW's windres. The icons
# are drawn from the program's artwork in the sizes that Explorer and the
# taskbar ask for; kitebar-cli.exe's wears a console badge, so that the two
# programs look different in a folder.
enable_language(RC)
find_program(KITEBAR_CONVERT convert)
if(NOT KITEBAR_CONVERT)
  message(FATAL_ERROR "ImageMagick's convert not found: it draws the programs' icons "
                      "(bash scripts/install-windows-deps.sh installs it)")
endif()
set(KITEBAR_ICON_ARTWORK ${PROJECT_SOURCE_DIR}/src/app/res/kitebar-icon-256.png)
set(KITEBAR_ICON_SIZES -define icon:auto-resize=256,48,32,24,16 -define png:exclude-chunk=date,time)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/icons/kitebar.ico ${PROJECT_BINARY_DIR}/icons/kitebar-cli.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons
  COMMAND ${KITEBAR_CONVERT} ${KITEBAR_ICON_ARTWORK} ${KITEBAR_ICON_SIZES}
          ${PROJECT_BINARY_DIR}/icons/kitebar.ico
  COMMAND ${KITEBAR_CONVERT} ${KITEBAR_ICON_ARTWORK}
          -fill "#1e2630" -stroke white -strokewidth 8 -draw "roundrectangle 110,126 250,250 24,24"
          -fill none -strokewidth 18
          -draw "stroke-linejoin round stroke-linecap round polyline 142,160 180,190 142,220 line 194,222 226,222"
          ${KITEBAR_ICON_SIZES} ${PROJECT_BINARY_DIR}/icons/kitebar-cli.ico
  DEPENDS ${KITEBAR_ICON_ARTWORK}
  COMMENT "Drawing the programs' icons"
  VERBATIM)
add_custom_target(kitebar_windows_icons
  DEPENDS ${PROJECT_BINARY_DIR}/icons/kitebar.ico ${PROJECT_BINARY_DIR}/icons/kitebar-cli.ico)

# Gives `target` (kitebar or kitebar-cli) its resources, with `description`
# as the file description that Explorer shows.
function(kitebar_windows_resources target description)
  set(KITEBAR_RC_NAME ${target})
  set(KITEBAR_RC_DESCRIPTION ${description})
  set(KITEBAR_RC_ICON ${PROJECT_BINARY_DIR}/icons/${target}.ico)
  set(KITEBAR_RC_MANIFEST ${PROJECT_SOURCE_DIR}/packaging/windows/resources/kitebar.manifest)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/resources/program.rc.in ${script} @ONLY)
  set_source_files_properties(${script} PROPERTIES
    OBJECT_DEPENDS "${KITEBAR_RC_ICON};${KITEBAR_RC_MANIFEST}")
  target_sources(${target} PRIVATE ${script})
  add_dependencies(${target} kitebar_windows_icons)
endfunction()
