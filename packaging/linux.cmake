# The installed tree and its Debian package. The programs and libquelmont.so
# live together in /opt/tarn, because the settings files and the libraries
# loaded by name are found beside the executable; /usr/bin holds links to the
# programs (the executable's folder is where the link leads). Paths are
# relative to the prefix, "/" by default, so `cmake --install --prefix DIR`
# lays out a whole root in DIR.
set(install_dir opt/tarn)
set(programs tarn-settings tarn-json)
foreach(optional tarnconfig tarn-fetch)
  if(TARGET ${optional})
    list(PREPEND programs ${optional})
  endif()
endforeach()
install(TARGETS ${programs} RUNTIME DESTINATION ${install_dir})
install(TARGETS quelmont LIBRARY DESTINATION ${install_dir})
install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/usr/bin\")")
foreach(program ${programs})
  install(CODE "file(CREATE_LINK ../../${install_dir}/${program}
                     \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/usr/bin/${program}\" SYMBOLIC)")
endforeach()
if(TARGET tarnconfig)
  install(FILES linux/tarnconfig.desktop DESTINATION usr/share/applications)
  install(FILES linux/tarnconfig.svg DESTINATION usr/share/icons/hicolor/scalable/apps)
endif()

execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE architecture OUTPUT_STRIP_TRAILING_WHITESPACE)
set(package_file tarn_${PROJECT_VERSION}_${architecture}.deb)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarn)
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME ${package_file})
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${architecture})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Equipe TARN <tarn@kesslan.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "settings tool for the TARN client/server environment")
# CPack puts the summary above the description and indents its lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "tarnconfig edits the settings of the environment's server and client
applications and starts and stops the server's service. Its companions
tarn-settings (prints and edits settings), tarn-json (checks JSON text) and
tarn-fetch (one REST GET) serve administrators' scripts.")
include(CPack)

# For the test that unpacks the package and runs what it holds.
set(TARN_PACKAGE_FILE ${CMAKE_BINARY_DIR}/${package_file} PARENT_SCOPE)
set(TARN_PACKAGE_TARGETS ${programs} quelmont PARENT_SCOPE)
