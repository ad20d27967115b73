# Where an installed copy puts its files (GNU layout under the prefix):
#   bin/qinglanque                         the program
#   libexec/qinglanque/qinglanque-gallery  its helper, never started by the user
#   share/qinglanque/corvane/             the sample tail list and options, copied to the
#                                          user's folder at the first start
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man1, share/doc
# The program finds its helper next to itself (build tree, portable copy), else in
# QLQ_HELPER_DIR_FROM_PROGRAM relative to its own directory.
include(GNUInstallDirs)
set(QLQ_HELPER_INSTALL_DIR "${CMAKE_INSTALL_LIBEXECDIR}/qinglanque")
file(RELATIVE_PATH QLQ_HELPER_DIR_FROM_PROGRAM "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_FULL_LIBEXECDIR}/qinglanque")
set(QLQ_SAMPLES_INSTALL_DIR "${CMAKE_INSTALL_DATADIR}/qinglanque/corvane")
file(RELATIVE_PATH QLQ_SAMPLES_DIR_FROM_PROGRAM "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_FULL_DATADIR}/qinglanque/corvane")
