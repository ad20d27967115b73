#include "windows/gallery_launcher.h"

#include "instance/single_instance.h"
#include "platform/fake/fake_desktop.h"
#include "support/temp_dir.h"

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
    GalleryLauncher launcher(const QString& helper) {
        return GalleryLauncher(desktop, dir.filePath(helper), dir.path());
    }
    void open(const QString& helper) { launcher(helper).open(kAddress, nullptr); }
};

} // namespace

TEST_F(GalleryFixture, AnOpenGalleryIsRaisedOnlyByTheRaiseRequestAndClosedAtTheEnd) {
    SingleInstance running(dir.path(), galleryInstanceName());
    ASSERT_TRUE(running.tryClaim() && running.listen());
    QSignalSpy raised(&running, &SingleInstance::raiseRequested);
    QSignalSpy quit(&running, &SingleInstance::quitRequested);

    QLocalSocket stranger; // junk before the request: dropped, nothing raised
    stranger.connectToServer(dir.filePath(galleryInstanceName() + QStringLiteral(".socket")));
    ASSERT_TRUE(stranger.waitForConnected(2000));
    stranger.write(QByteArray(4096, 'x') + "raise\n");
    ASSERT_TRUE(stranger.waitForBytesWritten(2000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return stranger.state() == QLocalSocket::UnconnectedState; }, 10000));
    EXPECT_EQ(raised.count(), 0);

    open(QStringLiteral("absent")); // without the helper it would go to the browser
    EXPECT_TRUE(desktop.calls().isEmpty()) << "no second gallery may open";
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised.count() == 1; }, 10000));
    launcher(QStringLiteral("absent")).closeOpenGallery();
    EXPECT_TRUE(QTest::qWaitFor([&] { return quit.count() == 1; }, 10000));
}

TEST_F(GalleryFixture, StartsTheHelperWithTheAddressOrWithoutItOpensTheBrowser) {
    open(QStringLiteral("absent")); // the gallery package is not installed
    EXPECT_EQ(desktop.calls(),
              QStringList{QStringLiteral("open:") + kAddress.toString(QUrl::FullyEncoded)});
    desktop.clearCalls();

    // A stand-in helper that records its arguments.
    const QString script = dir.filePath(QStringLiteral("helper"));
    ASSERT_TRUE(writeFile(
        script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n"));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    open(QStringLiteral("helper"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(script + ".args"); }, 10000));
    EXPECT_EQ(readFile(script + ".args"), kAddress.toEncoded() + '\n');
    EXPECT_TRUE(desktop.calls().isEmpty());
}
