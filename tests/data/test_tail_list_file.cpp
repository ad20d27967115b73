#include "data/data_paths.h"
#include "data/tail_list_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace qlq;

TEST(TailListFile, SampleGbkFileGivesElevenTailsExactly) {
    TempProgramDir dir;
    QFile sample(QStringLiteral(QLQ_SAMPLES_DIR "/qinglanque.ini"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    dir.write(QStringLiteral("qinglanque.ini"), sample.readAll());
    const TailListContent content = loadTailListFile(dir.file(QStringLiteral("qinglanque.ini")));
    EXPECT_EQ(content.encoding, TextEncoding::Gb18030);
    ASSERT_EQ(content.tails.size(), 11);
    EXPECT_EQ(content.tails[0], QStringLiteral("——发自我的小尾巴"));
    EXPECT_EQ(content.tails[3], QString());
    EXPECT_EQ(content.tails[4], QStringLiteral("  前后带空格的尾巴  "));
    EXPECT_EQ(content.tails[10], QString());
}

TEST(TailListFile, MissingDirectoryOrBinaryFilesNeverFail) {
    TempProgramDir dir;
    const QString path = dir.file(QStringLiteral("qinglanque.ini"));
    TailListContent missing = loadTailListFile(path);
    EXPECT_TRUE(missing.tails.isEmpty());
    EXPECT_TRUE(missing.readable);

    QDir().mkpath(path);
    TailListContent directory = loadTailListFile(path);
    EXPECT_TRUE(directory.tails.isEmpty());
    EXPECT_FALSE(directory.readable);
    QDir().rmdir(path);

    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 7919) % 256));
    dir.write(QStringLiteral("qinglanque.ini"), garbage);
    EXPECT_FALSE(loadTailListFile(path).tails.isEmpty());
}

TEST(TailListFile, Utf8FileIsReadAndRemembered) {
    TempProgramDir dir;
    dir.write(QStringLiteral("qinglanque.ini"), QStringLiteral("尾巴😀\r\nb").toUtf8());
    const TailListContent content = loadTailListFile(dir.file(QStringLiteral("qinglanque.ini")));
    EXPECT_EQ(content.encoding, TextEncoding::Utf8);
    EXPECT_EQ(content.tails, QStringList({QStringLiteral("尾巴😀"), QStringLiteral("b")}));
}

TEST(DataPaths, PortableCorvaneBesideTheProgramWins) {
    TempProgramDir program;
    QTemporaryDir user;
    EXPECT_EQ(DataPaths::resolve(program.path(), user.path()).baseDirectory(), user.path());
    QDir().mkpath(program.corvane());
    const DataPaths paths = DataPaths::resolve(program.path(), user.path());
    EXPECT_EQ(paths.tailListFile(), program.path() + QStringLiteral("/corvane/qinglanque.ini"));
    EXPECT_EQ(paths.optionsFile(), program.path() + QStringLiteral("/corvane/corvane.ini"));
}
