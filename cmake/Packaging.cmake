# The Debian packages: `cpack -G DEB` in a build tree (scripts/package does it all) makes
# qinglanque (the program) and, when the helper was built, qinglanque-gallery (the signature
# gallery with the web engine, about 150 MB installed), which qinglanque only recommends: without
# it 签名大全 opens the gallery in the user's browser. Run-time libraries come from
# dpkg-shlibdeps; the dependencies it cannot see are listed here.

set(CPACK_GENERATOR DEB)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME qinglanque)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${QLQ_MAKER_NICK}")
set(CPACK_PACKAGE_CONTACT "${QLQ_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program)
if(TARGET qinglanque-gallery)
    list(APPEND CPACK_COMPONENTS_ALL gallery)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QLQ_HOME_URL}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# Extended descriptions: lines of at most 80 characters (a CJK character counts twice).
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME qinglanque)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION "paste the next forum signature line with F8
Keeps a list of forum signature lines (\"tails\"). Pressing F8 in any
program pastes the next one at the cursor, in list order or at random,
optionally followed by the user's own tail line and sent at once with
Ctrl+Enter. F8 is only watched, never taken away from the program the
user types in. The program can wait in the notification area.
.
青岚雀贴吧小尾巴：在任何程序里按 F8，粘贴下一条贴吧小尾巴。")
# The interface is Chinese: without a CJK font every label is a row of boxes, and without Qt's
# translations its message boxes and menus say OK and Undo.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS
    "fonts-arphic-uming | fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS qinglanque-gallery)

# (Its QtWebEngineProcess, libqt6webenginecore6-bin, comes in through the web engine's symbols
# file; the package test checks that it does.)
set(CPACK_DEBIAN_GALLERY_PACKAGE_NAME qinglanque-gallery)
set(CPACK_DEBIAN_GALLERY_DESCRIPTION "signature gallery window for qinglanque
The 签名大全 (signature gallery) window of qinglanque: a page of
ready-made forum signatures, shown in an embedded web engine. Without
this package qinglanque opens the same page in the user's web browser.")
set(CPACK_DEBIAN_GALLERY_PACKAGE_DEPENDS "qinglanque (= ${PROJECT_VERSION})")

include(CPack)
