#include "config/web_addresses.h"

#include "config/build_config.h"

#include <QUrlQuery>

namespace qlq {

QUrl homePageUrl() {
    return QUrl(QString::fromUtf8(config::kHomeUrl));
}

QUrl forumPageUrl() {
    QUrl url(QString::fromUtf8(config::kForumHost));
    url.setPath(QStringLiteral("/f"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("kw"), QString::fromUtf8(config::kForumName));
    url.setQuery(query);
    return url;
}

QUrl galleryUrl() {
    QUrl url(QString::fromUtf8(config::kGalleryHost));
    url.setPath(QStringLiteral("/"));
    // Written out so the keys keep their order and the keyword its exact percent-encoding.
    url.setQuery(
        QStringLiteral("bd_user=%1&bd_sig=%2&canvas_pos=search&keyword="
                       "%E4%B8%AA%E6%80%A7%E7%AD%BE%E5%90%8D")
            .arg(QString::fromUtf8(config::kGalleryUser), QString::fromUtf8(config::kGallerySig)),
        QUrl::StrictMode);
    return url;
}

} // namespace qlq
