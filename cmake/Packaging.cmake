# The Debian package: `cpack -G DEB` in a build tree (scripts/package does it all).
# Run-time dependencies come from dpkg-shlibdeps; the ones it cannot see are listed here.

set(CPACK_GENERATOR DEB)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME qinglanque)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${QLQ_MAKER_NICK}")
set(CPACK_PACKAGE_CONTACT "${QLQ_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "paste the next forum signature line with F8")
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps a list of forum signature lines (\"tails\"). Pressing F8 in any program pastes the
next one at the cursor, in list order or at random, optionally followed by the user's own
tail line and sent at once with Ctrl+Enter. F8 is only watched, never taken away from the
program the user types in. The program can wait in the notification area.

青岚雀贴吧小尾巴：在任何程序里按 F8，粘贴下一条贴吧小尾巴。")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QLQ_HOME_URL}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# The interface is Chinese: without a CJK font every label is a row of boxes. (The gallery
# helper's QtWebEngineProcess, libqt6webenginecore6-bin, comes in through the web engine's
# symbols file; the package test checks that it does.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming | fonts-noto-cjk")

include(CPack)
