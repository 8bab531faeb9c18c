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

if(TARGET tarn-fetch)
  set(TARN_FETCH_LINE "  tarn-fetch.exe URL [--gzip] [--timeout MS]\n                             faz uma chamada REST (GET) e mostra o corpo.")
endif()
configure_file(LEIA-ME.txt.in LEIA-ME.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LEIA-ME.txt DESTINATION .)

set(package_name tarn-${PROJECT_VERSION}-win64)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${package_name})
set(CPACK_STRIP_FILES ON)
include(CPack)

# For the test that unpacks the package and runs what it holds.
set(TARN_PACKAGE_FILE ${CMAKE_BINARY_DIR}/${package_name}.zip PARENT_SCOPE)
set(TARN_PACKAGE_TARGETS ${shipped} PARENT_SCOPE)
