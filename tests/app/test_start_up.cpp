#include "app/autostart_entry.h"
#include "app/qt_translations.h"
#include "data/first_start.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
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
    const AutostartEntry entry(home.path(), QStringLiteral("org.example.qinglanque"),
                               QStringLiteral("/opt/my apps/qinglanque"));
    EXPECT_EQ(entry.path(), home.path() + "/autostart/org.example.qinglanque.desktop");
    EXPECT_EQ(entry.turnOn(), std::nullopt);
    QFile file(entry.path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nExec=\"/opt/my apps/qinglanque\" --background\n")) << text.data();
    EXPECT_EQ(entry.turnOff(), std::nullopt);
    EXPECT_FALSE(QFile::exists(entry.path()));
    EXPECT_EQ(entry.turnOff(), std::nullopt); // already off
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
