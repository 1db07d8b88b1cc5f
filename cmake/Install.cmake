# Where everything is installed, and in which Debian package it goes:
# "checker" is loggrevy-check (the batch checker, the C++ runtime only),
# "desktop" is loggrevy (the Qt program).
include(GNUInstallDirs)
# Folders as a package has them, whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Installs a gzipped copy of source (gzip -9n, as Debian's tools compress
# documentation) as destination/name.gz for component.
function(loggrevy_install_gzipped source destination component)
  get_filename_component(name ${source} NAME)
  set(gzipped ${CMAKE_CURRENT_BINARY_DIR}/gzipped/${component}/${name}.gz)
  add_custom_command(OUTPUT ${gzipped}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/gzipped/${component}
    COMMAND gzip -9n -c ${source} > ${gzipped}
    DEPENDS ${source} VERBATIM)
  add_custom_target(gzip_${component}_${name} ALL DEPENDS ${gzipped})
  install(FILES ${gzipped} DESTINATION ${destination} COMPONENT ${component})
endfunction()

# The manual page of a program and the copyright and changelog of its package.
function(loggrevy_install_documents component package page)
  loggrevy_install_gzipped(${page} ${CMAKE_INSTALL_MANDIR}/man1 ${component})
  loggrevy_install_gzipped(${PROJECT_SOURCE_DIR}/packaging/changelog ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
                           ${component})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
          COMPONENT ${component})
endfunction()
