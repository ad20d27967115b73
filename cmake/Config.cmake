# Build-time settings: the maker's credit and the web addresses the program opens.
# Neutral defaults; a distributor sets their own with -D on the cmake command line.
set(QLQ_CREDIT "by qinglanque" CACHE STRING "Credit shown after the main window's caption")
set(QLQ_CREDIT_HEADING "作者：" CACHE STRING "Heading of the credit line in the help window")
set(QLQ_MAKER_NICK "青岚雀" CACHE STRING "Maker's nickname in the help window")
set(QLQ_MAKER_ACCOUNT "贴吧ID：qinglanque" CACHE STRING "Maker's forum account line")
set(QLQ_RIGHTS "版权所有 © 青岚雀" CACHE STRING "Rights notice in the help window")
set(QLQ_GROUP_CHAT "10000000" CACHE STRING "Group chat number in the help window")
set(QLQ_HOME_URL "https://qinglanque.example.org/" CACHE STRING "Maker's home page")
set(QLQ_FORUM_HOST "https://tieba.example.org" CACHE STRING "Forum service (scheme and host)")
set(QLQ_FORUM_NAME "青岚雀" CACHE STRING "Name of the maker's forum (query key kw)")
set(QLQ_GALLERY_HOST "https://gallery.example.org" CACHE STRING "Signature gallery (scheme and host)")
set(QLQ_GALLERY_USER "1000000000" CACHE STRING "Gallery bd_user: 10 decimal digits")
set(QLQ_GALLERY_SIG "0123456789abcdef0123456789abcdef" CACHE STRING "Gallery bd_sig: 32 hex digits")

# Packaging: the application id (desktop entry, AppStream component, icon name; Wayland
# compositors match windows to the entry by it) and the package maintainer.
set(QLQ_APP_ID "io.github.qinglanque.Qinglanque" CACHE STRING
    "Desktop entry, AppStream component and icon id")
set(QLQ_MAINTAINER "qinglanque maintainers <packages@qinglanque.example.org>"
    CACHE STRING "Maintainer field of the Debian package")
