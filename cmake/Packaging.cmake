# The Debian package: `cpack -G DEB` in the build folder makes
# chronara_<version>_<arch>.deb from what Install.cmake installs, under /usr.
#
# The dependencies are read off the installed programs by dpkg-shlibdeps
# (Debian package dpkg-dev), so they are exactly the libraries the programs
# link: the Qt 6 libraries of the viewer, xxHash (libxxhash0, the hash that
# checks the word indexes), SQLite (libsqlite3-0, in which every program
# keeps the user's research log) and the C and C++ run-time. The Qt
# platform plugins that the viewer loads at run time come with libqt6gui6,
# except Wayland's, which qt6-wayland holds: recommended, so that the viewer
# runs natively on a Wayland desktop and still installs without one.

set(CPACK_PACKAGE_NAME chronara)
set(CPACK_PACKAGE_VENDOR "The Chronara developers")
set(CPACK_PACKAGE_CONTACT "${CHRONARA_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for historical record databases")
set(CPACK_PACKAGE_DESCRIPTION
    "Chronara looks up people in read-only databases of historical records:\n"
    "generals of both sides of the Civil War, Medal of Honor rolls, a ship's\n"
    "passenger list, memorial, graves and prisoner-of-war lists, wills and two\n"
    "older wars. Pick a database, type a surname and perhaps the first letters\n"
    "of a given name, page through the matches and open a full record.\n"
    "\n"
    "The package holds the viewer, the command-line search chronara-query, the\n"
    "data-disk builder chronara-mkdisk and a sample data disk.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Only the installed tree goes into the package, never a source archive of
# the working folder.
set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR "")

set(CPACK_DEBIAN_PACKAGE_NAME chronara)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://chronara.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
