#include "insert/next_random.h"
#include "platform/fake/fake_desktop.h"
#include "shell/main_window.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace qlq;

TEST(SkinEngine, StyleSheetAppliesAndABrokenSkinLeavesTheDefaultLook) {
    TempProgramDir dir;
    FakeDesktop desktop;
    NextRandom random;
    const QString sheet = QStringLiteral("QWidget { color: rgb(1, 2, 3); }");
    dir.write(QStringLiteral("SkinH.she"), sheet.toUtf8());
    dir.write(QStringLiteral("corvane.ini"), QByteArray("[t1]\r\nt=own\r\n"));
    {
        MainWindow window(desktop, DataPaths(dir.path()), random);
        window.load();
        EXPECT_EQ(qApp->styleSheet(), sheet);
    }
    qApp->setStyleSheet(QString());

#ifdef Q_OS_UNIX
    // A sheet naming a FIFO would hang the first paint: refused at once, with a message.
    const QByteArray fifo = QFile::encodeName(dir.file(QStringLiteral("fifo.png")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    dir.write(QStringLiteral("SkinH.she"), "QPushButton { image: url(\"" + fifo + "\"); }");
    std::atomic<bool> done{false};
    std::thread unblock([&] { // should a reader be stuck, it gets EOF after 3 s
        for (int ms = 0; !done; ms += 20) {
            if (ms >= 3000)
                ::close(::open(fifo.constData(), O_WRONLY | O_NONBLOCK));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    QElapsedTimer clock;
    clock.start();
    {
        MainWindow window(desktop, DataPaths(dir.path()), random);
        window.load();
        window.show();
        QCoreApplication::processEvents();
    }
    done = true;
    unblock.join();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(desktop.calls().size(), 1);
    EXPECT_TRUE(desktop.calls().value(0).contains(QStringLiteral("fifo.png")));
    qApp->setStyleSheet(QString());
#endif

    // A skin that cannot be read (here a directory) is skipped; the rest of start-up runs.
    QFile::remove(dir.file(QStringLiteral("SkinH.she")));
    QDir().mkpath(dir.file(QStringLiteral("SkinH.she")));
    MainWindow window(desktop, DataPaths(dir.path()), random);
    window.load();
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("Text5"))->text(), QStringLiteral("own"));
}
