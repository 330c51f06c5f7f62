# The Debian package: `cpack -G DEB` in the build folder makes
# valdrin_VERSION_ARCH.deb of what `cmake --install` installs, under /usr.
# Its dependencies are those of the libraries the programs link, found by
# dpkg-shlibdeps (dpkg-dev).
set(CPACK_PACKAGE_NAME valdrin)
set(CPACK_PACKAGE_VENDOR "Valdrin")
set(CPACK_PACKAGE_CONTACT "Valdrin developers <valdrin@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Viewer of a police department's incident records on a 3-D city map")
set(CPACK_PACKAGE_DESCRIPTION
  "Valdrin loads a file of incidents, filters it by a time window and by attribute values, and counts the events per cell of a grid over the city map, shown as striped columns. valdrin-cli counts, reports and renders the same without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The GL driver the viewer draws with where no other is installed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
include(CPack)
