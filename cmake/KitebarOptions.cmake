# One interface target carries the warning flags and build-wide defines;
# every target of the project links it.
add_library(kitebar_options INTERFACE)
target_compile_options(kitebar_options INTERFACE -Wall -Wextra -Wpedantic)
if(KITEBAR_WERROR)
  target_compile_options(kitebar_options INTERFACE -Werror)
endif()
if(KITEBAR_SANITIZE)
  target_compile_options(kitebar_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(kitebar_options INTERFACE -fsanitize=address,undefined)
endif()
