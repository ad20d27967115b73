#pragma once

#include <QUrl>

namespace qlq {

QUrl homePageUrl();
// The maker's forum: path /f, key kw carries the forum's name.
QUrl forumPageUrl();
// The signature gallery: path /, keys bd_user, bd_sig, canvas_pos, keyword in this order.
QUrl galleryUrl();

} // namespace qlq
