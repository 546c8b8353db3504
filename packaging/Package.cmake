# `cpack -G DEB` in the build folder makes the Debian package of what the install rules put in
# place, under /usr, with stripped programs and the libraries they need as dependencies. Included
# by the top-level CMakeLists.txt, which is where cpack looks for its configuration.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brelmont-companion)
set(CPACK_PACKAGE_VENDOR Brelmont)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion for Brelmont braille embossers")
set(CPACK_PACKAGE_DESCRIPTION "Previews embosser print jobs (emboss dots beside ink), reads and changes embosser
settings, edits the printing preferences of CUPS queues, prints a test page and sends files raw to a
queue, and embosses text, braille-ready files and documents of any program (as braille text,
tactile graphics and, on ink models, the printed page) through its CUPS driver;
brelmont-cli doctor tells why no embosser is found.")
set(CPACK_PACKAGE_CONTACT "Brelmont Companion developers <companion@brelmont.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# lpstat and lpoptions, lpr: the printing system's tools every window runs; liblouis's tables for
# the driver's braille translation (the library itself comes with the shared-library dependencies).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "cups-client, cups-bsd, liblouis-data")
# The scheduler to print through, its conversions of pictures and other documents to PDF, and
# Avahi's daemon, through which Add Embosser finds network embossers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-daemon, cups-filters, avahi-daemon")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
