# The Debian package: `make package` (cpack -G DEB in the build folder).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brevix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brevix")
set(CPACK_PACKAGE_CONTACT "Brevix developers <dev@brevix.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "resident text expander for the X11 desktop")
set(CPACK_PACKAGE_DESCRIPTION
    "Brevix keeps dictionaries of keyword -> text entries; while it runs it watches the keys typed in every program and, when a keyword is ended by a delimiter, types the entry's text in its place. Texts carry keys, pauses and dates; a Tcl interpreter and a local script port drive it.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The private hook library is found through the programs' RPATH.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
# Loaded at run time, so no linker dependency names them: the Tcl library and
# Qt's X11 platform plugin.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libtcl8.6, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tcl8.6")
set(CPACK_STRIP_FILES ON)
include(CPack)
