# Two layouts of the installed programs. The programs and libquelmont.so live
# together in one folder, because the settings files and the libraries loaded
# by name are found beside the executable; links in a bin folder lead there
# (the executable's folder is where the link leads).
#
# - A local installation (`cmake --install`, under the prefix, /usr/local by
#   default): the programs in lib/tarn, whose settings files and trace folder
#   are made beside them; relative links in bin; the desktop entry, icon and
#   manual pages in share.
# - The Debian package (component "deb", installed only by cpack): the
#   programs in /opt/tarn, whose settings files and trace folder are links to
#   /etc/opt/tarn and /var/opt/tarn/trace, which the package's maintainer
#   scripts make writable by the group "tarn"; absolute links in /usr/bin; a
#   polkit rule letting that group start and stop the service; the copyright
#   file and changelog that Debian asks for, a README for administrators and
#   sample files; the Ansible collection tarn.environment.
# Both have the manual pages and the bash completions.
set(programs tarn-settings tarn-json)
foreach(optional tarnconfig tarn-fetch)
  if(TARGET ${optional})
    list(PREPEND programs ${optional})
  endif()
endforeach()
set(source ${CMAKE_CURRENT_SOURCE_DIR}/linux)
set(staged ${CMAKE_CURRENT_BINARY_DIR}/linux)
set(links ${staged}/links)
set(deb_dir opt/tarn)
set(local_dir lib/tarn)

# The links of both layouts, made here and installed as links.
file(REMOVE_RECURSE ${links})
file(MAKE_DIRECTORY ${links}/local/bin ${links}/deb/bin ${links}/deb/data ${staged}/man)
foreach(program ${programs})
  file(CREATE_LINK ../${local_dir}/${program} ${links}/local/bin/${program} SYMBOLIC)
  file(CREATE_LINK /${deb_dir}/${program} ${links}/deb/bin/${program} SYMBOLIC)
endforeach()
file(CREATE_LINK /etc/opt/tarn/tarnserver.ini ${links}/deb/data/tarnserver.ini SYMBOLIC)
file(CREATE_LINK /etc/opt/tarn/tarnclient.ini ${links}/deb/data/tarnclient.ini SYMBOLIC)
file(CREATE_LINK /var/opt/tarn/trace ${links}/deb/data/trace SYMBOLIC)

# Manual pages and the changelog, compressed as Debian wants them.
set(compressed)
foreach(page ${programs})
  list(APPEND compressed man/${page}.1)
endforeach()
list(APPEND compressed man/tarnserver.ini.5 changelog)
set(compressed_files)
foreach(file ${compressed})
  add_custom_command(OUTPUT ${staged}/${file}.gz
                     COMMAND gzip -9nc ${source}/${file} > ${staged}/${file}.gz
                     DEPENDS ${source}/${file})
  list(APPEND compressed_files ${staged}/${file}.gz)
endforeach()
add_custom_target(tarn_documents ALL DEPENDS ${compressed_files})
set(section5_page ${staged}/man/tarnserver.ini.5.gz)
list(FILTER compressed_files INCLUDE REGEX "\\.1\\.gz$")

# One manual page for both settings files, one completion file for the
# four programs: the second names are links.
file(MAKE_DIRECTORY ${links}/man5 ${links}/completions)
file(CREATE_LINK tarnserver.ini.5.gz ${links}/man5/tarnclient.ini.5.gz SYMBOLIC)
set(completion_links)
foreach(program ${programs})
  if(NOT program STREQUAL tarn-settings)
    file(CREATE_LINK tarn-settings ${links}/completions/${program} SYMBOLIC)
    list(APPEND completion_links ${links}/completions/${program})
  endif()
endforeach()
set(completions ${source}/bash-completion/tarn-settings ${completion_links})

# The changelog's newest entry names the version being packed.
file(STRINGS ${source}/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^tarn \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/linux/changelog has no entry for version ${PROJECT_VERSION} on top")
endif()

# The local installation.
install(TARGETS ${programs} RUNTIME DESTINATION ${local_dir})
install(TARGETS quelmont LIBRARY DESTINATION ${local_dir})
foreach(program ${programs})
  install(FILES ${links}/local/bin/${program} DESTINATION bin)
endforeach()
install(FILES ${compressed_files} DESTINATION share/man/man1)
install(FILES ${section5_page} ${links}/man5/tarnclient.ini.5.gz DESTINATION share/man/man5)
install(FILES ${completions} DESTINATION share/bash-completion/completions)
if(TARGET tarnconfig)
  # The entry starts the program in its own folder, where the broker lies
  # when the machine hosts the server; that folder is known when installing.
  install(CODE "
    set(TARN_PROGRAM_DIR \"\${CMAKE_INSTALL_PREFIX}/${local_dir}\")
    set(entry \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/tarnconfig.desktop\")
    message(STATUS \"Installing: \${entry}\")
    configure_file(${source}/tarnconfig.desktop.in \"\${entry}\" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${entry}\")")
  install(FILES ${source}/tarnconfig.svg DESTINATION share/icons/hicolor/scalable/apps)
endif()

# The Debian package.
set(deb COMPONENT deb EXCLUDE_FROM_ALL)
install(TARGETS ${programs} RUNTIME DESTINATION ${deb_dir} ${deb})
install(TARGETS quelmont LIBRARY DESTINATION ${deb_dir} ${deb})
# The compiler's version notes, which dpkg's own tools strip too.
foreach(file ${programs} libquelmont.so)
  install(CODE "execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
                                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${deb_dir}/${file}\"
                                COMMAND_ERROR_IS_FATAL ANY)" ${deb})
endforeach()
install(FILES ${links}/deb/data/tarnserver.ini ${links}/deb/data/tarnclient.ini ${links}/deb/data/trace
        DESTINATION ${deb_dir} ${deb})
foreach(program ${programs})
  install(FILES ${links}/deb/bin/${program} DESTINATION usr/bin ${deb})
endforeach()
install(FILES ${compressed_files} DESTINATION usr/share/man/man1 ${deb})
install(FILES ${section5_page} ${links}/man5/tarnclient.ini.5.gz DESTINATION usr/share/man/man5 ${deb})
install(FILES ${completions} DESTINATION usr/share/bash-completion/completions ${deb})
install(FILES ${source}/copyright ${staged}/changelog.gz ${source}/doc/README DESTINATION usr/share/doc/tarn ${deb})
install(DIRECTORY ${source}/doc/examples DESTINATION usr/share/doc/tarn ${deb})
# The Ansible collection, where ansible-core finds collections by default.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/ansible/ansible_collections DESTINATION usr/share/ansible/collections ${deb})
install(FILES ${source}/60-tarn.rules DESTINATION usr/share/polkit-1/rules.d ${deb})
install(FILES ${source}/lintian-overrides DESTINATION usr/share/lintian/overrides RENAME tarn ${deb})
if(TARGET tarnconfig)
  set(TARN_PROGRAM_DIR /${deb_dir})
  configure_file(${source}/tarnconfig.desktop.in ${staged}/deb/tarnconfig.desktop @ONLY)
  install(FILES ${staged}/deb/tarnconfig.desktop DESTINATION usr/share/applications ${deb})
  install(FILES ${source}/tarnconfig.svg DESTINATION usr/share/icons/hicolor/scalable/apps ${deb})
endif()

execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE architecture OUTPUT_STRIP_TRAILING_WHITESPACE)
set(package_file tarn_${PROJECT_VERSION}_${architecture}.deb)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarn)
set(CPACK_COMPONENTS_ALL deb)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME ${package_file})
set(CPACK_DEBIAN_PACKAGE_NAME tarn)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${architecture})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Equipe TARN <tarn@kesslan.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beside the shared libraries: the face the dialog's fixed layout is drawn
# in, Qt's display plugins (only recommended by Qt), setfacl for the folders.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, acl")
if(TARGET tarnconfig)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", qt6-qpa-plugins")
endif()
# Without polkitd the group's rule for the service does nothing; the
# collection is for ansible-core, the completions for bash-completion.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "polkitd")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ansible-core, bash-completion")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${source}/postinst ${source}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "settings tool for the TARN client/server environment")
# CPack puts the summary above the description and indents its lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "tarnconfig edits the settings of the environment's server and client
applications and starts and stops the server's service. Its companions
tarn-settings (prints and edits settings, dumps and loads them whole),
tarn-json (checks JSON text) and tarn-fetch (one REST GET) serve
administrators' scripts; the Ansible module tarn.environment.settings sets
the settings of many machines.
.
The settings live in /etc/opt/tarn and the traces in /var/opt/tarn; the
members of the group tarn may save them and start and stop the service.")
include(CPack)

# For the tests of the installed tree and of the package.
set(TARN_PACKAGE_FILE ${CMAKE_BINARY_DIR}/${package_file} PARENT_SCOPE)
set(TARN_PACKAGE_TARGETS ${programs} quelmont PARENT_SCOPE)
