# The Debian package, made by CPack's DEB generator from an already built
# tree (scripts/package.sh; tests/tools/package_test.sh): qel_<version>_<arch>.deb
# with everything `cmake --install` installs, under /usr. Its dependencies
# come from the binaries (dpkg-shlibdeps), so a library a program starts
# to use joins them without a word here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "explorer of the Mandelbrot set and Julia sets")
# The long description, lines under 80 characters, paragraphs apart by ".".
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "qel draws the escape-time picture of the Mandelbrot set and lets you zoom"
  "into any point with a left click, far past the precision of doubles, by"
  "perturbation on reference orbits. Pick the constant of a Julia set with a"
  "click on the Mandelbrot picture and explore that Julia set in turn. One"
  "computed picture is shown in four colourings at once; pictures are saved"
  "as bitmaps whose names carry the view, to be opened and explored again."
  "."
  "Every text of the program is Japanese. The package also holds qel-render,"
  "which draws views, posters and zoom films without a window.")
# The same maintainer as the changelog's entries (dist/changelog).
set(QEL_PACKAGE_MAINTAINER "qel developers <qel@example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no binary names but the window wants: Qt's platform plugins, Qt's
# own texts in Japanese, and a font that has the Japanese characters.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)

# Debian's documents of the package: the copyright and the changelog,
# compressed without a time stamp.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/dist/changelog.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/dist/changelog > ${CMAKE_BINARY_DIR}/dist/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/dist/changelog)
add_custom_target(changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/dist/changelog.gz)
add_dependencies(qel changelog)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright ${CMAKE_BINARY_DIR}/dist/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
