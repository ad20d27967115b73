#include "windows/gallery_launcher.h"

#include "platform/fake/fake_desktop.h"
#include "windows/gallery_channel.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

const QUrl kAddress(QStringLiteral("http://127.0.0.1:9/?bd_user=1&keyword=%E4%B8%AA"));

struct GalleryFixture : ::testing::Test {
    QTemporaryDir dir;
    FakeDesktop desktop;
    QString server() const { return dir.filePath(QStringLiteral("gallery")); }
    void open(const QString& helper) {
        GalleryLauncher(desktop, dir.filePath(helper), server()).open(kAddress, nullptr);
    }
};

} // namespace

TEST_F(GalleryFixture, AnOpenGalleryIsRaisedOnlyByTheRaiseRequest) {
    GalleryRaiseServer running;
    ASSERT_TRUE(running.listen(server()));
    QSignalSpy raised(&running, &GalleryRaiseServer::raiseRequested);

    QLocalSocket stranger; // junk before the request: dropped, nothing raised
    stranger.connectToServer(server());
    ASSERT_TRUE(stranger.waitForConnected(2000));
    stranger.write(QByteArray(4096, 'x') + "raise\n");
    ASSERT_TRUE(stranger.waitForBytesWritten(2000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return stranger.state() == QLocalSocket::UnconnectedState; }, 10000));
    EXPECT_EQ(raised.count(), 0);

    open(QStringLiteral("absent")); // starting the helper would be reported at once
    EXPECT_TRUE(desktop.calls().isEmpty()) << "no second helper may start";
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised.count() == 1; }, 10000));
}

TEST_F(GalleryFixture, StartsTheHelperWithTheAddressOrReportsItMissing) {
    open(QStringLiteral("absent"));
    ASSERT_EQ(desktop.calls().size(), 1);
    EXPECT_TRUE(desktop.calls().first().startsWith(
        QStringLiteral("message:青岚雀贴吧小尾巴|无法打开签名大全：找不到程序 ")));
    desktop.clearCalls();

    // A stand-in helper that records its arguments.
    QFile script(dir.filePath(QStringLiteral("helper")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    open(QStringLiteral("helper"));
    QFile args(dir.filePath(QStringLiteral("helper.args")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return args.exists(); }, 10000));
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(args.readAll(), kAddress.toEncoded() + '\n');
    EXPECT_TRUE(desktop.calls().isEmpty());
}
