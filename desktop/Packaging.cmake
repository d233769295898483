# The Debian package, built by CPack from the install rules
# (scripts/package-deb.sh). Library dependencies come from dpkg-shlibdeps
# on the installed binaries; what they cannot see (fonts the program asks
# for by name, the opener of the help page) is recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnova-drelin)
set(CPACK_PACKAGE_VENDOR "Tarnova Drelin")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "repair damaged dBASE III tables (.dbf)")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarnova Drelin DBF rebuilds a damaged dBASE III table's header from its field\n\
descriptors and the file length, finds where the records begin, counts them\n\
and writes a repaired copy; the source file is only ever read. It offers two\n\
repair modes, a preview of the repaired table and a batch of many tables at\n\
once.\n\
\n\
The package holds the desktop program (tarnova-drelin) and the command-line\n\
tool (drelin-repair), which repairs, previews and diagnoses tables.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarnova Drelin <support@tarnova-drelin.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tarnova-drelin.example")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(DRELIN_GUI)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, fonts-dejavu-core, xdg-utils")
endif()
include(CPack)
