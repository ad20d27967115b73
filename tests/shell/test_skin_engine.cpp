#include "shell/main_window_names.h"
#include "support/program_fixture.h"

#include <QApplication>
#include <QLineEdit>

#include <atomic>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QString kSkin = QStringLiteral("SkinH.she");

struct SkinEngineTest : ProgramFixture {
    void TearDown() override { qApp->setStyleSheet(QString()); }
};

} // namespace

TEST_F(SkinEngineTest, TheSkinIsTheProgramsStyleSheet) {
    const QString sheet = QStringLiteral("QWidget { color: rgb(1, 2, 3); }");
    dir.write(kSkin, sheet.toUtf8());
    start();
    EXPECT_EQ(qApp->styleSheet(), sheet);
}

#ifdef Q_OS_UNIX
TEST_F(SkinEngineTest, ASkinNamingAFifoIsRefusedAtOnceWithAMessage) {
    // Such a sheet would hang the first paint.
    const QByteArray fifo = QFile::encodeName(dir.file(QStringLiteral("fifo.png")));
    dir.write(kSkin, "QPushButton { image: url(\"" + fifo + "\"); }");
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    std::atomic<bool> done{false}, readerWaited{false};
    std::thread unblock([&] { // a reader stuck on the FIFO gets EOF (a writer opens only then)
        for (int ms = 0; !done; ms += 20) {
            if (ms >= 3000) {
                const int writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
                readerWaited = readerWaited || writer >= 0;
                ::close(writer);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    start();
    QCoreApplication::processEvents();
    done = true;
    unblock.join();
    EXPECT_FALSE(readerWaited);
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    ASSERT_EQ(desktop.calls().size(), 1);
    EXPECT_TRUE(desktop.calls().first().contains(QStringLiteral("fifo.png")));
}
#endif

TEST_F(SkinEngineTest, AnUnreadableSkinIsSkippedAndTheStartGoesOn) {
    QDir().mkpath(dir.file(kSkin)); // a directory
    dir.write(QStringLiteral("corvane.ini"), QByteArray("[t1]\r\nt=own\r\n"));
    start();
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(control<QLineEdit>(qlq::main_window_names::kOwnTail)->text(), QStringLiteral("own"));
}
