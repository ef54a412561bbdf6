# Where the platform shows through, a class has a file per platform beside its
# shared part: "<Name>Posix.cpp" and "<Name>Windows.cpp". The build takes the
# one of the target platform.
function(kitebar_platform_sources variable)
  if(WIN32)
    list(FILTER ${variable} EXCLUDE REGEX "(Posix|/XdgPageOpener)\\.cpp$")
  else()
    list(FILTER ${variable} EXCLUDE REGEX "Windows\\.cpp$")
  endif()
  set(${variable} ${${variable}} PARENT_SCOPE)
endfunction()
