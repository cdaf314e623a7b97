# A Debian package of the window, the command-line tool and their data: cpack -G DEB.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorrel)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Quorrel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "G-code programs for rectangles, circles and rounded rectangles")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Quorrel writes complete G-code programs for a rectangle, a circle or a rectangle with "
  "rounded corners, cut as an outline or cleared as a pocket in rings. A small window "
  "(quorrel) takes the shape's centre, size, radius, the tool radius and the depth; the "
  "command-line tool quorrel-gcode writes the same programs for scripts.")
set(CPACK_PACKAGE_CONTACT "The Quorrel developers <quorrel@example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
include(CPack)
