#include "config/build_config.h"
#include "config/web_addresses.h"

#include <QRegularExpression>
#include <QUrlQuery>

#include <gtest/gtest.h>

using namespace qlq;

TEST(GalleryAddress, HasItsFourKeysInOrderWithTheExactKeyword) {
    const QUrl url = galleryUrl();
    ASSERT_TRUE(url.isValid());
    EXPECT_EQ(url.path(), QStringLiteral("/"));
    EXPECT_EQ(url.scheme() + QStringLiteral("://") + url.host(),
              QString::fromUtf8(config::kGalleryHost));

    const QByteArray query = url.toEncoded(QUrl::FullyEncoded).split('?').value(1);
    EXPECT_EQ(query, QByteArray("bd_user=") + config::kGalleryUser +
                         "&bd_sig=" + config::kGallerySig +
                         "&canvas_pos=search&keyword=%E4%B8%AA%E6%80%A7%E7%AD%BE%E5%90%8D");

    const QList<std::pair<QString, QString>> items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0].first, QStringLiteral("bd_user"));
    EXPECT_EQ(items[1].first, QStringLiteral("bd_sig"));
    EXPECT_EQ(items[2].first, QStringLiteral("canvas_pos"));
    EXPECT_EQ(items[3].first, QStringLiteral("keyword"));
    EXPECT_EQ(items[3].second, QStringLiteral("个性签名"));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^[0-9]{10}$")).match(items[0].second).hasMatch());
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(items[1].second).hasMatch());
}
