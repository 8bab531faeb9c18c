# The release package for Windows: `cpack --preset windows` makes
# tarn-<version>-win64.zip with the programs, quelmont.dll and a short
# read-me in Portuguese. The bridge stand-in is left out: the real bridge
# belongs to the environment the tool is installed in.
set(shipped tarn-settings tarn-json quelmont)
foreach(optional tarnconfig tarn-fetch)
  if(TARGET ${optional})
    list(PREPEND shipped ${optional})
  endif()
endforeach()
# Only the programs and the library: quelmont's import library stays out.
install(TARGETS ${shipped} RUNTIME DESTINATION . ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)

# Each shipped file carries a version resource: the project's version, its
# file name and what it is (UTF-16 escapes, for windres).
set(TARN_FILE_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
set(description_tarnconfig "Configura\\x00e7\\x00e3o de ambiente TARN")
set(description_tarn-settings "Valores de configura\\x00e7\\x00e3o do ambiente TARN")
set(description_tarn-json "Forma compacta de textos JSON")
set(description_tarn-fetch "Chamada REST (GET)")
set(description_quelmont "Controle do servi\\x00e7o tarnServiceMain")
foreach(target ${shipped})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(TARN_FILE_TYPE VFT_APP)
    set(TARN_FILE_NAME ${target}${CMAKE_EXECUTABLE_SUFFIX})
  else()
    set(TARN_FILE_TYPE VFT_DLL)
    set(TARN_FILE_NAME ${CMAKE_SHARED_LIBRARY_PREFIX}${target}${CMAKE_SHARED_LIBRARY_SUFFIX})
  endif()
  set(TARN_INTERNAL_NAME ${target})
  set(TARN_FILE_DESCRIPTION "${description_${target}}")
  configure_file(version.rc.in ${target}_version.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  # The window's program has a manifest of its own.
  if(type STREQUAL "EXECUTABLE" AND NOT target STREQUAL "tarnconfig")
    set(TARN_MANIFEST_FILE ${CMAKE_CURRENT_SOURCE_DIR}/companion.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/src/ui/win32/manifest.rc.in ${target}_manifest.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc PROPERTIES
                                OBJECT_DEPENDS ${TARN_MANIFEST_FILE})
  endif()
endforeach()

if(TARGET tarn-fetch)
  set(TARN_FETCH_LINES "  tarn-fetch.exe URL [--gzip] [--timeout MS] [--max-time MS] [--max-size BYTES]\n                             faz uma chamada REST (GET) e mostra o corpo;\n                             --help explica as opções.\n")
endif()
# Every line ends in CR LF, those of the values put in included (which
# configure_file would leave with LF), for the editors of older Windows;
# file(CONFIGURE) writes the file only when it changed.
file(READ LEIA-ME.txt.in leia_me)
string(CONFIGURE "${leia_me}" leia_me @ONLY)
file(CONFIGURE OUTPUT LEIA-ME.txt CONTENT "${leia_me}" @ONLY NEWLINE_STYLE CRLF)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS LEIA-ME.txt.in)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LEIA-ME.txt DESTINATION .)

set(package_name tarn-${PROJECT_VERSION}-win64)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${package_name})
set(CPACK_STRIP_FILES ON)
include(CPack)

# For the test that unpacks the package and runs what it holds.
set(TARN_PACKAGE_FILE ${CMAKE_BINARY_DIR}/${package_name}.zip PARENT_SCOPE)
set(TARN_PACKAGE_TARGETS ${shipped} PARENT_SCOPE)
