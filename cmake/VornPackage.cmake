# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh). Its run-time dependencies are
# what dpkg-shlibdeps finds the programs linked against.
set(VORN_PACKAGE_CONTACT "Ostrand Labs <vorn@ostrandlabs.example>"
    CACHE STRING "Maintainer of the Debian package, as \"Name <address>\"")

set(CPACK_PACKAGE_NAME vorn)
set(CPACK_PACKAGE_VENDOR "Ostrand Labs")
set(CPACK_PACKAGE_CONTACT "${VORN_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "running cost of a metered dial-up or mobile connection, with a call log")
set(CPACK_PACKAGE_DESCRIPTION
    "VORN sits in the tray with a small, always-on-top dot-matrix LED window\n\
that shows the running call on a dial-up, mobile broadband or other\n\
metered link: its length, its cost from the user's own charge bands, the\n\
cost per minute, the data rate, the data transferred and the connect\n\
speed. Every call is recorded in a call log with statistics, projections,\n\
exports and prints. VORN can hang up by rule, start programs when a call\n\
starts or ends and check POP3 mailboxes, and offers ping, finger, a POP3\n\
check, web page change notification and a password keeper.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
