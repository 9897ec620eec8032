# The Debian package: `cpack -G DEB` in the build folder. The libraries the program links
# come from dpkg-shlibdeps; the rest are what it loads or starts at run time, which no
# linker sees.
if(NOT PROJECT_IS_TOP_LEVEL)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kollektar)
set(CPACK_PACKAGE_VENDOR vantoria)
set(CPACK_PACKAGE_CONTACT "vantoria" CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of the media of a household (German)")
set(CPACK_PACKAGE_DESCRIPTION
    "Kollektar keeps the catalogue of a household's media (books, films, music, games) in a\n"
    "MariaDB or MySQL server: a sortable, searchable media list, an editor for each medium\n"
    "with its loan, locations, media types and categories of the household's own, an\n"
    "inventory list printed or exported as PDF, and a loan receipt with an EAN-8 bar code.\n"
    "The program speaks German.")
list(JOIN CPACK_PACKAGE_DESCRIPTION "" CPACK_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time: the fonts the reports and windows are laid out with (Liberation Sans
# in place of Arial), Qt's German texts of its own dialogs. The X11 platform plugin, the
# JPEG reader and the CUPS printing plugin come with Qt's Gui and PrintSupport libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, qt6-translations-l10n")
# The help viewer, started as a process of its own; Wayland without XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "assistant-qt6, qt6-wayland")
# The catalogue's server may run on this computer or elsewhere in the household's network.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mariadb-server | default-mysql-server, mariadb-client")

include(CPack)
