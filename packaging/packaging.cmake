# The workstation package: "cpack -G DEB" in a build folder (scripts/build_package.sh) makes
# tabel_<version>_<arch>.deb holding the program, its desktop entry, icon, AppStream metadata,
# manual page, changelog and copyright file, the debconf question for the database server, and the
# maintainer scripts that write the server's settings file and register the ODBC driver without its
# log.

include(GNUInstallDirs)
set(TABEL_APP_ID ru.tabel.Tabel)
set(TABEL_PACKAGE_MAINTAINER "Plant IT department <it@plant.invalid>" CACHE STRING
    "Maintainer field of the workstation package")
# Who holds the program's copyright and under which licence it is used, for the package's
# copyright file; the licence text follows its short name there.
set(TABEL_PACKAGE_COPYRIGHT "2026 The plant" CACHE STRING "Copyright holder of the workstation package")
set(TABEL_PACKAGE_LICENSE "proprietary" CACHE STRING "Licence (short name) of the workstation package")
set(TABEL_PACKAGE_LICENSE_TEXT "All rights reserved. For use on the plant's own workstations only."
    CACHE STRING "Licence text of the workstation package")

install(TARGETS tabel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${TABEL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${TABEL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${TABEL_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 128)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${TABEL_APP_ID}-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${TABEL_APP_ID}.png)
endforeach()

# Debian wants manual pages compressed, without a time stamp in the gzip header.
set(TABEL_MANPAGE ${CMAKE_BINARY_DIR}/packaging/tabel.1.gz)
add_custom_command(OUTPUT ${TABEL_MANPAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND gzip -9n -c ${CMAKE_CURRENT_LIST_DIR}/tabel.1 > ${TABEL_MANPAGE}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tabel.1
  VERBATIM)
add_custom_target(tabel_manpage ALL DEPENDS ${TABEL_MANPAGE})
install(FILES ${TABEL_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The copyright file, in Debian's machine-readable form (each line of the licence text indented,
# an empty one written as " .").
string(REPLACE "\n" ";" licence_lines "${TABEL_PACKAGE_LICENSE_TEXT}")
set(TABEL_PACKAGE_LICENSE_TEXT_INDENTED "")
foreach(line IN LISTS licence_lines)
  if(line STREQUAL "")
    set(line ".")
  endif()
  string(APPEND TABEL_PACKAGE_LICENSE_TEXT_INDENTED " ${line}\n")
endforeach()
string(STRIP "${TABEL_PACKAGE_LICENSE_TEXT_INDENTED}" TABEL_PACKAGE_LICENSE_TEXT_INDENTED)
set(TABEL_PACKAGE_LICENSE_TEXT_INDENTED " ${TABEL_PACKAGE_LICENSE_TEXT_INDENTED}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The changelog gets the package's whole version (with the build stamp) and is compressed when
# cpack runs (cpack_version.cmake), into this file.
set(TABEL_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${TABEL_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)

# The debconf question for the server; its default is the build's server.
configure_file(${CMAKE_CURRENT_LIST_DIR}/templates.in ${CMAKE_BINARY_DIR}/packaging/templates @ONLY)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tabel)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "${TABEL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "piecework journal and timesheets of the plant (Табель)")
# cpack puts the summary first and indents these lines; an empty line separates paragraphs.
set(CPACK_PACKAGE_DESCRIPTION [=[
A desktop client for the plant's accounting staff and shift foremen: the daily
journal of piecework production, monthly timesheets kept in step with it,
piecework earnings, household work, period reports and workbooks for the
spreadsheet application. The interface is in Russian.

All data lives in the plant's PostgreSQL database, reached through the
PostgreSQL ODBC driver. Start the program as: tabel DATABASE SERVER.]=])
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Shared libraries (Qt, libxlsxwriter) are found by dpkg-shlibdeps; these are loaded at run time:
# the Qt SQL driver and the ODBC driver it talks through, and the fonts the windows and reports use.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-odbc, odbc-postgresql, odbcinst, qt6-translations-l10n, fonts-liberation2, fonts-dejavu-core, fonts-crosextra-carlito, debconf (>= 0.5) | debconf-2.0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-calc | gnumeric")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/config ${CMAKE_BINARY_DIR}/packaging/templates
    ${CMAKE_CURRENT_LIST_DIR}/postinst ${CMAKE_CURRENT_LIST_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The package's version ends with the build stamp of the program it holds, read when cpack runs.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_version.cmake)
set(CPACK_TABEL_STAMP_SOURCE ${TABEL_STAMP_SOURCE})
set(CPACK_TABEL_CHANGELOG_SOURCE ${CMAKE_CURRENT_LIST_DIR}/changelog)
set(CPACK_TABEL_CHANGELOG ${TABEL_CHANGELOG})
set(CPACK_TABEL_BASE_VERSION ${TABEL_PACKAGE_VERSION})
set(CPACK_TABEL_MAINTAINER "${TABEL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${TABEL_PACKAGE_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
