#include "windows/gallery_launcher.h"

#include "platform/fake/fake_desktop.h"
#include "windows/gallery_channel.h"
#include "windows/wait_for.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

const QUrl kAddress(QStringLiteral("http://127.0.0.1:9/?bd_user=1&keyword=%E4%B8%AA"));

struct GalleryFixture : ::testing::Test {
    QTemporaryDir dir;
    FakeDesktop desktop;
    QString server() const { return dir.filePath(QStringLiteral("gallery")); }
    QString script() const { return dir.filePath(QStringLiteral("fake-gallery")); }

    // Stands in for the helper: records the arguments it was started with.
    void writeHelper() const {
        QFile f(script());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args.tmp\" && mv \"$0.args.tmp\" "
                "\"$0.args\"\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QByteArray helperArgs() const {
        QFile f(script() + QStringLiteral(".args"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(GalleryFixture, AnOpenGalleryIsRaisedInsteadOfStartingAnother) {
    GalleryRaiseServer running;
    ASSERT_TRUE(running.listen(server()));
    QSignalSpy raised(&running, &GalleryRaiseServer::raiseRequested);

    // The helper is absent: trying to start it would be reported at once.
    GalleryLauncher(desktop, dir.filePath(QStringLiteral("absent")), server())
        .open(kAddress, nullptr);

    EXPECT_TRUE(desktop.calls().isEmpty()) << "no second helper may start";
    EXPECT_TRUE(waitFor([&] { return raised.count() == 1; }));
}

TEST_F(GalleryFixture, StartsTheHelperWithTheAddressWhenNoneIsOpen) {
    writeHelper();
    GalleryLauncher(desktop, script(), server()).open(kAddress, nullptr);

    ASSERT_TRUE(waitFor([&] { return !helperArgs().isEmpty(); }));
    EXPECT_EQ(helperArgs(), kAddress.toEncoded() + '\n');
    EXPECT_TRUE(desktop.calls().isEmpty());
}

TEST_F(GalleryFixture, AMissingHelperIsReportedNotIgnored) {
    GalleryLauncher(desktop, dir.filePath(QStringLiteral("absent")), server())
        .open(kAddress, nullptr);
    ASSERT_EQ(desktop.calls().size(), 1);
    EXPECT_TRUE(desktop.calls().first().startsWith(
        QStringLiteral("message:青岚雀贴吧小尾巴|无法打开签名大全：找不到程序 ")));
}

TEST_F(GalleryFixture, OnlyTheRaiseRequestRaises) {
    GalleryRaiseServer running;
    ASSERT_TRUE(running.listen(server()));
    QSignalSpy raised(&running, &GalleryRaiseServer::raiseRequested);

    QLocalSocket stranger;
    stranger.connectToServer(server());
    ASSERT_TRUE(stranger.waitForConnected(2000));
    stranger.write(QByteArray(4096, 'x'));
    stranger.write("raise\n");
    ASSERT_TRUE(stranger.waitForBytesWritten(2000));
    EXPECT_TRUE(waitFor([&] { return stranger.state() == QLocalSocket::UnconnectedState; }));
    EXPECT_EQ(raised.count(), 0);

    EXPECT_TRUE(askGalleryToRaise(server(), 2000));
    EXPECT_TRUE(waitFor([&] { return raised.count() == 1; }));
}
