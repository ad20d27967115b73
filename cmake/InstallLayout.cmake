# Where an installed copy puts its files (GNU layout under the prefix):
#   bin/qinglanque                         the program
#   libexec/qinglanque/qinglanque-gallery  its helper, never started by the user
#   share/applications, share/metainfo, share/icons/hicolor
# The program finds its helper next to itself (build tree, portable copy), else in
# QLQ_HELPER_DIR_FROM_PROGRAM relative to its own directory.
include(GNUInstallDirs)
set(QLQ_HELPER_INSTALL_DIR "${CMAKE_INSTALL_LIBEXECDIR}/qinglanque")
file(RELATIVE_PATH QLQ_HELPER_DIR_FROM_PROGRAM "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_FULL_LIBEXECDIR}/qinglanque")
