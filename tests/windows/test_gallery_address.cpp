#include "config/build_config.h"
#include "config/web_addresses.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

TEST(GalleryAddress, HasItsFourKeysInOrderWithTheExactKeyword) {
    const QUrl url = qlq::galleryUrl();
    ASSERT_TRUE(url.isValid());
    EXPECT_EQ(url.toString(QUrl::RemoveQuery), QString::fromUtf8(qlq::config::kGalleryHost) + '/');
    const QRegularExpression query(
        QStringLiteral("^bd_user=[0-9]{10}&bd_sig=[0-9a-f]{32}&canvas_pos=search"
                       "&keyword=%E4%B8%AA%E6%80%A7%E7%AD%BE%E5%90%8D$"));
    EXPECT_TRUE(query.match(url.query(QUrl::FullyEncoded)).hasMatch())
        << url.toString().toStdString();
}
