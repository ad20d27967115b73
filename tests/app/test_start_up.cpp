#include "app/autostart_entry.h"
#include "app/qt_translations.h"
#include "data/first_start.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

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
    const QByteArray text = contents(entry.path());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nExec=\"/opt/my apps/qinglanque\" --background\n")) << text.data();
    EXPECT_EQ(entry.turnOff(), std::nullopt);
    EXPECT_FALSE(QFile::exists(entry.path()));
    EXPECT_EQ(entry.turnOff(), std::nullopt); // already off
}
#endif

TEST(StartUp, SamplesFillAnEmptyFolderOnceAndNeverReplaceAFile) {
    QTemporaryDir dir;
    const QString samples = dir.filePath("samples"), corvane = dir.filePath("corvane");
    write(samples + "/qinglanque.ini", "sample tail\r\n");
    write(samples + "/corvane.ini", "[t1]\r\nt=sample\r\n");
    write(corvane + "/corvane.ini", "[t1]\r\nt=mine\r\n");

    const SampleCopy first = copySamplesOnFirstStart(samples, corvane);
    EXPECT_EQ(first.copied, QStringList{"qinglanque.ini"});
    EXPECT_EQ(contents(corvane + "/corvane.ini"), "[t1]\r\nt=mine\r\n");
    EXPECT_EQ(contents(corvane + "/qinglanque.ini"), "sample tail\r\n");

    write(corvane + "/qinglanque.ini", ""); // the user emptied the list: it stays empty
    QFile::remove(corvane + "/corvane.ini");
    EXPECT_TRUE(copySamplesOnFirstStart(samples, corvane).copied.isEmpty());
    EXPECT_EQ(contents(corvane + "/qinglanque.ini"), "");
    EXPECT_FALSE(QFile::exists(corvane + "/corvane.ini"));
}

TEST(StartUp, QtsOwnTextsAreChineseWhereTheLocaleHasNoTranslation) {
    ASSERT_NE(installQtTranslations(QLocale::c()), nullptr) << "qt6-translations-l10n missing?";
    const QString undo = QCoreApplication::translate("QLineEdit", "&Undo");
    EXPECT_NE(undo, QStringLiteral("&Undo"));
    EXPECT_TRUE(undo.contains(QRegularExpression(QStringLiteral("\\p{Han}")))) << qPrintable(undo);
}
