# Debian's hardening flags, as dpkg-buildflags gives them to every package it
# builds with all hardening features on: fortified C library calls, stack
# protector and clash protection, control-flow protection, read-only
# relocations bound at start-up, position-independent executables. The
# build type keeps choosing the optimisation and the debug information.
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(COMMAND env DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get ${kind}
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(O[0-9s]?|g)$")
  if(kind STREQUAL LDFLAGS)
    add_link_options(${flags})
  else()
    add_compile_options(${flags})
  endif()
endforeach()
