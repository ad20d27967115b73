#include "app/autostart_entry.h"
#include "app/qt_translations.h"
#include "data/first_start.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>

#include <gtest/gtest.h>

using namespace qlq;

#ifdef Q_OS_WIN
TEST(StartUp, AutostartEntryRunsTheProgramInTheBackgroundAndGoesAgain) {
    const AutostartEntry entry(QString(), QStringLiteral("org.example.qinglanque.test"),
                               QStringLiteral("C:/my apps/qinglanque.exe"));
    const QString key =
        QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_EQ(entry.turnOn(), std::nullopt);
    EXPECT_EQ(QSettings(key, QSettings::NativeFormat)
                  .value(QStringLiteral("org.example.qinglanque.test")),
              QStringLiteral("\"C:\\my apps\\qinglanque.exe\" --background"));
    EXPECT_EQ(entry.turnOff(), std::nullopt);
    EXPECT_FALSE(QSettings(key, QSettings::NativeFormat)
                     .contains(QStringLiteral("org.example.qinglanque.test")));
}
#else
TEST(StartUp, AutostartEntryRunsTheProgramInTheBackgroundAndGoesAgain) {
    QTemporaryDir home;
    const AutostartEntry entry(home.path(), QStringLiteral("io.github.qlq.Test"),
                               QStringLiteral("/opt/my apps/qinglanque"), {"org.example.qlq"});
    EXPECT_EQ(entry.path(), home.path() + "/autostart/io.github.qlq.Test.desktop");
    // The entry of an older release goes when the new one is written: one start at login.
    const QString former = home.path() + "/autostart/org.example.qlq.desktop";
    const auto leaveFormer = [&] {
        return QDir().mkpath(home.path() + "/autostart") && writeFile(former, "[Desktop Entry]\n");
    };
    ASSERT_TRUE(leaveFormer());
    EXPECT_EQ(entry.turnOn(), std::nullopt);
    EXPECT_FALSE(QFile::exists(former));
    const QByteArray text = readFile(entry.path());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nExec=\"/opt/my apps/qinglanque\" --background\n")) << text.data();
    EXPECT_EQ(entry.turnOff(), std::nullopt);
    EXPECT_FALSE(QFile::exists(entry.path()));
    EXPECT_EQ(entry.turnOff(), std::nullopt); // already off
    ASSERT_TRUE(leaveFormer());               // only the older release's entry: off removes it too
    EXPECT_EQ(entry.turnOff(), std::nullopt);
    EXPECT_FALSE(QFile::exists(former));
}
#endif

TEST(StartUp, SamplesFillAnEmptyFolderOnceAndNeverReplaceAFile) {
    TempProgramDir samples, dir;
    samples.write("qinglanque.ini", "sample tail\r\n");
    samples.write("corvane.ini", "[t1]\r\nt=sample\r\n");
    dir.write("corvane.ini", "[t1]\r\nt=mine\r\n");
    EXPECT_EQ(copySamplesOnFirstStart(samples.corvane(), dir.corvane()).copied,
              QStringList{"qinglanque.ini"});
    EXPECT_EQ(dir.read("corvane.ini"), "[t1]\r\nt=mine\r\n");
    EXPECT_EQ(dir.read("qinglanque.ini"), "sample tail\r\n");

    dir.write("qinglanque.ini", ""); // the user emptied the list: it stays empty
    QFile::remove(dir.file("corvane.ini"));
    EXPECT_TRUE(copySamplesOnFirstStart(samples.corvane(), dir.corvane()).copied.isEmpty());
    EXPECT_EQ(dir.read("qinglanque.ini"), "");
    EXPECT_FALSE(QFile::exists(dir.file("corvane.ini")));
}

TEST(StartUp, QtsOwnTextsAreChineseWhereTheLocaleHasNoTranslation) {
    ASSERT_NE(installQtTranslations(QLocale::c()), nullptr) << "qt6-translations-l10n missing?";
    const QString undo = QCoreApplication::translate("QLineEdit", "&Undo");
    EXPECT_NE(undo, QStringLiteral("&Undo"));
    EXPECT_TRUE(undo.contains(QRegularExpression(QStringLiteral("\\p{Han}")))) << qPrintable(undo);
}
