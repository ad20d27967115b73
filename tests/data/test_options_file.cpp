#include "data/options_file.h"
#include "support/file_size_limit.h"
#include "support/sample_options.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace qlq;
using namespace Qt::StringLiterals;

TEST(SwitchValue, ComparesAsNumbers) {
    for (const char* off : {"0", "00", " 0 ", "-0"})
        EXPECT_EQ(switchValue(QString::fromLatin1(off)), false) << off;
    for (const char* on : {"1", " 1", "1.0", "01"})
        EXPECT_EQ(switchValue(QString::fromLatin1(on)), true) << on;
    for (const char* other : {"", " ", "2", "-1", "0.5", "abc", "1abc"})
        EXPECT_EQ(switchValue(QString::fromLatin1(other)), std::nullopt) << other;
}

TEST(OptionsFile, LoadTreatsTroubleAsAbsent) {
    TempProgramDir dir;
    const QString file = dir.file(u"corvane.ini"_s);
    Options options = OptionsFile::load(file);
    EXPECT_EQ(options.ownTail, QString());
    EXPECT_EQ(options.sendAfterInsert, std::nullopt);
    dir.write(u"corvane.ini"_s, kSampleOptions);
    options = OptionsFile::load(file);
    EXPECT_EQ(options.ownTail, kOwnTail);
    EXPECT_EQ(options.appendOwnTail, true);
    EXPECT_EQ(options.randomOrder, false);
    dir.write(u"corvane.ini"_s, "[peizhi]\r\nweiba=2\r\n");
    EXPECT_EQ(OptionsFile::load(file).randomOrder, std::nullopt);
    QDir().mkpath(dir.file(u"folder.ini"_s));
    EXPECT_EQ(OptionsFile::load(dir.file(u"folder.ini"_s)).ownTail, QString());
}

TEST(OptionsFile, SaveWritesItsFourEntriesOrFailsKeepingTheOldFile) {
    TempProgramDir dir;
    const QString file = dir.file(u"corvane.ini"_s);
    EXPECT_EQ(OptionsFile::save(file, {kOwnTail, false, true, false}), std::nullopt);
    EXPECT_EQ(dir.read(u"corvane.ini"_s), kSampleOptions); // corvane/ created, GBK, CR LF
    const QByteArray before = "; kept\r\n[other]\r\nx = 1\r\n" + kSampleOptions + "[more]\nY=2";
    dir.write(u"corvane.ini"_s, before);
    EXPECT_EQ(OptionsFile::save(file, {u"新尾巴"_s, true, false, true}), std::nullopt);
    EXPECT_EQ(dir.read(u"corvane.ini"_s),
              "; kept\r\n[other]\r\nx = 1\r\n[t1]\r\nt=\xd0\xc2\xce\xb2\xb0\xcd\r\n[peizhi]\r\n"
              "Check1=1\r\nCheck2=0\r\nweiba=1\r\n[more]\nY=2");

    const Options options{QString(100, u'x'), true, true, true};
    if (FileSizeLimit::kAvailable) {
        dir.write(u"corvane.ini"_s, before);
        const std::optional<FileProblem> error = [&] {
            const FileSizeLimit fullDisk(16);
            return OptionsFile::save(file, options);
        }();
        EXPECT_NE(error, std::nullopt);
        EXPECT_EQ(dir.read(u"corvane.ini"_s), before);
        EXPECT_EQ(QDir(dir.corvane()).entryList(QDir::Files), QStringList{u"corvane.ini"_s});
    }

    QDir().mkpath(dir.file(u"folder.ini"_s)); // cannot be read, so is not overwritten
    const std::optional<FileProblem> unread = OptionsFile::save(dir.file(u"folder.ini"_s), options);
    EXPECT_TRUE(unread && unread->inReading());
    EXPECT_TRUE(QFileInfo(dir.file(u"folder.ini"_s)).isDir());
}
