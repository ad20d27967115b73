#include "insert/next_random.h"
#include "platform/fake/fake_desktop.h"
#include "shell/main_window.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

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

    // A skin that cannot be read (here a directory) is skipped; the rest of start-up runs.
    QFile::remove(dir.file(QStringLiteral("SkinH.she")));
    QDir().mkpath(dir.file(QStringLiteral("SkinH.she")));
    MainWindow window(desktop, DataPaths(dir.path()), random);
    window.load();
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("Text5"))->text(), QStringLiteral("own"));
}
