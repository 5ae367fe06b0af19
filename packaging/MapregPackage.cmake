# The Debian package: `cmake --build --preset release --target package` writes
# mapreg_<version>_<arch>.deb with everything `cmake --install` puts under /usr. Its library
# dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mapreg)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "${MAPREG_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (standard buttons and file dialogs) in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_STRIP_FILES ON)
# The first line is the summary, the lines after it the description (CPack indents them and
# writes an empty line as " .").
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "register scanned maps for a handheld GPS device
Prepares a scanned or drawn map picture for a handheld GPS device: place
three calibration marks on points you recognise, type their latitude and
longitude or UTM coordinates, and the program computes the transform
between picture and world. It saves a GPS map file and the registration
file the device reads beside the bitmap, imports georeferenced pictures
and exports world files, GPX waypoints and OziExplorer map files.

mapreg-cli does the same work from the command line.")
# The desktop refreshes its menus, file types and icons through the triggers of the packages
# that own those caches, so the package needs no scripts of its own.
include(CPack)
