# What `cmake --install` puts where, laid out as a Linux desktop program:
#
#   bin/chronara                      launcher: first-run INI set-up, then the viewer
#   bin/chronara-query, chronara-mkdisk
#   libexec/chronara/chronara         the viewer itself
#   libexec/chronara/chronara-print.so  its printing, loaded at the first print
#   share/chronara/tavora7m.hlp       help file
#   share/chronara/sample-disk/       sample data disk (chronaradb.id and the databases)
#   share/applications/, share/metainfo/, share/icons/hicolor/
#   share/doc/chronara/copyright, changelog.gz (from NEWS.md)
#   share/man/man1/                   chronara.1.gz, chronara-query.1.gz, chronara-mkdisk.1.gz
#   share/bash-completion/completions/, share/zsh/vendor-completions/ (site-functions
#                                     outside /usr): completion of the two tools
#   share/lintian/overrides/chronara  why lintian's national-encoding is expected
#
# Each part is installed only when the tree has it, so a partial checkout
# still configures and installs what it has.

include(GNUInstallDirs)

set(CHRONARA_APP_ID org.chronara.Chronara)
set(CHRONARA_INSTALL_PKGDATADIR ${CMAKE_INSTALL_DATADIR}/chronara)
set(CHRONARA_INSTALL_VIEWERDIR ${CMAKE_INSTALL_LIBEXECDIR}/chronara)
set(CHRONARA_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)

# The command-line tools. A rule the tool's own folder already has is
# harmless to repeat.
foreach(tool chronara-query chronara-mkdisk)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# Licences of the program and of the sample data, where Debian users look.
install(FILES ${CHRONARA_DIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/chronara)
install(FILES ${CHRONARA_DIST_DIR}/chronara.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME chronara)

# The changelog and the manual pages, compressed as Debian wants them
# (gzip -9, without name or time stamp, so the package is reproducible).
set(CHRONARA_MAINTAINER "The Chronara developers <chronara@example.org>")
set(CHRONARA_DOC_SOURCES ${PROJECT_BINARY_DIR}/doc-sources)
set(CHRONARA_DOC_DIR ${PROJECT_BINARY_DIR}/doc)
include(${PROJECT_SOURCE_DIR}/cmake/ReleaseNotes.cmake)
chronara_release_notes(${PROJECT_SOURCE_DIR}/NEWS.md ${CHRONARA_DOC_SOURCES}/changelog
                       CHRONARA_APPSTREAM_RELEASES "${CHRONARA_MAINTAINER}")
set(CHRONARA_MANUAL_PAGES chronara.1 chronara-query.1 chronara-mkdisk.1)
foreach(page ${CHRONARA_MANUAL_PAGES})
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.in ${CHRONARA_DOC_SOURCES}/${page} @ONLY)
endforeach()
find_program(CHRONARA_GZIP gzip)
if(CHRONARA_GZIP)
  set(compressed "")
  foreach(name changelog ${CHRONARA_MANUAL_PAGES})
    add_custom_command(
      OUTPUT ${CHRONARA_DOC_DIR}/${name}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${CHRONARA_DOC_SOURCES}/${name} ${CHRONARA_DOC_DIR}/${name}
      COMMAND ${CHRONARA_GZIP} -9nf ${CHRONARA_DOC_DIR}/${name}
      DEPENDS ${CHRONARA_DOC_SOURCES}/${name}
      VERBATIM)
    list(APPEND compressed ${CHRONARA_DOC_DIR}/${name}.gz)
  endforeach()
  add_custom_target(chronara-docs ALL DEPENDS ${compressed})
  install(FILES ${CHRONARA_DOC_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/chronara)
  foreach(page ${CHRONARA_MANUAL_PAGES})
    install(FILES ${CHRONARA_DOC_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
else()
  message(WARNING "gzip not found: the changelog and the manual pages are installed uncompressed")
  install(FILES ${CHRONARA_DOC_SOURCES}/changelog DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/chronara)
  foreach(page ${CHRONARA_MANUAL_PAGES})
    install(FILES ${CHRONARA_DOC_SOURCES}/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
endif()

# Shell completion of the tools. bash-completion loads a file named after
# the command from share/bash-completion/completions of any prefix; zsh on
# Debian reads the packages' share/zsh/vendor-completions and, for other
# prefixes such as /usr/local, share/zsh/site-functions. The prefix is
# known only at install time (cpack installs under /usr whatever was
# configured), so the zsh folder is chosen then.
foreach(tool chronara-query chronara-mkdisk)
  if(TARGET ${tool})
    install(FILES ${CHRONARA_DIST_DIR}/completion/${tool}.bash
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ${tool})
    set(zsh_file ${CHRONARA_DIST_DIR}/completion/_${tool})
    install(CODE "
      if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
        set(zsh_folder vendor-completions)
      else()
        set(zsh_folder site-functions)
      endif()
      file(INSTALL \"${zsh_file}\"
           DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/zsh/\${zsh_folder}\"
           FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    ")
  endif()
endforeach()

# The help file, read by the viewer from its installation directory; the
# launcher links it into each user's folder.
set(CHRONARA_HELP_FILE ${PROJECT_SOURCE_DIR}/res/tavora7m.hlp)
if(EXISTS ${CHRONARA_HELP_FILE})
  install(FILES ${CHRONARA_HELP_FILE} DESTINATION ${CHRONARA_INSTALL_PKGDATADIR})
endif()

# The sample data disk, built into the build folder by data/ (target
# sample-disk, part of the default build).
set(CHRONARA_HAVE_SAMPLE_DISK OFF)
if(TARGET sample-disk)
  set(CHRONARA_HAVE_SAMPLE_DISK ON)
  if(NOT CHRONARA_SAMPLE_DISK)
    set(CHRONARA_SAMPLE_DISK ${PROJECT_BINARY_DIR}/sample-disk)
  endif()
  install(DIRECTORY ${CHRONARA_SAMPLE_DISK}/
          DESTINATION ${CHRONARA_INSTALL_PKGDATADIR}/sample-disk
          FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endif()

# The viewer behind its launcher, and everything that puts it in the
# desktop's menu.
if(TARGET chronara)
  install(TARGETS chronara RUNTIME DESTINATION ${CHRONARA_INSTALL_VIEWERDIR})
  # Printing, which the viewer loads from beside itself at its first print.
  install(TARGETS chronara-print LIBRARY DESTINATION ${CHRONARA_INSTALL_VIEWERDIR})

  # The launcher finds the viewer and the shared data relative to itself.
  file(RELATIVE_PATH CHRONARA_BIN_TO_PKGDATA ${CMAKE_INSTALL_FULL_BINDIR}
       ${CMAKE_INSTALL_FULL_DATADIR}/chronara)
  get_target_property(CHRONARA_VIEWER_NAME chronara OUTPUT_NAME)
  if(NOT CHRONARA_VIEWER_NAME)
    set(CHRONARA_VIEWER_NAME chronara)
  endif()
  file(RELATIVE_PATH CHRONARA_BIN_TO_VIEWER ${CMAKE_INSTALL_FULL_BINDIR}
       ${CMAKE_INSTALL_FULL_LIBEXECDIR}/chronara/${CHRONARA_VIEWER_NAME})
  configure_file(${CHRONARA_DIST_DIR}/chronara.sh.in ${PROJECT_BINARY_DIR}/dist/chronara @ONLY)
  # Installed after the viewer's own rules, so this is the bin/chronara
  # that the menu entry runs.
  install(PROGRAMS ${PROJECT_BINARY_DIR}/dist/chronara DESTINATION ${CMAKE_INSTALL_BINDIR})

  install(FILES ${CHRONARA_DIST_DIR}/${CHRONARA_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${CHRONARA_DIST_DIR}/${CHRONARA_APP_ID}.metainfo.xml.in
                 ${PROJECT_BINARY_DIR}/dist/${CHRONARA_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/dist/${CHRONARA_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${CHRONARA_DIST_DIR}/icons/${CHRONARA_APP_ID}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${CHRONARA_APP_ID}.png)
  endforeach()
  install(FILES ${CHRONARA_DIST_DIR}/icons/${CHRONARA_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The install test: a real install into a scratch DESTDIR, validated and
# used as a new user would.
if(CHRONARA_BUILD_TESTS AND TARGET chronara AND TARGET chronara-query
   AND TARGET chronara-mkdisk AND CHRONARA_HAVE_SAMPLE_DISK)
  add_test(NAME install.desktop_program
           COMMAND sh ${PROJECT_SOURCE_DIR}/tests/install/install_test.sh
                   ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR} ${CMAKE_COMMAND} ${PROJECT_VERSION})
  set_tests_properties(install.desktop_program PROPERTIES TIMEOUT 300 LABELS install)

  # The package's dependencies are only meaningful for a normal build: a
  # sanitizer build links the sanitizer run-times too.
  find_program(CHRONARA_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(NOT CHRONARA_SANITIZE AND CHRONARA_DPKG_SHLIBDEPS)
    add_test(NAME install.debian_package
             COMMAND sh ${PROJECT_SOURCE_DIR}/tests/install/package_test.sh
                     ${PROJECT_BINARY_DIR} ${PROJECT_VERSION} ${CMAKE_CPACK_COMMAND})
    set_tests_properties(install.debian_package PROPERTIES TIMEOUT 600 LABELS install)
  endif()
endif()
