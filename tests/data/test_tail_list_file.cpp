// Binary files never failing: the random bytes in test_file_faults.
#include "data/data_paths.h"
#include "data/tail_list_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace qlq;
using namespace Qt::StringLiterals;

TEST(TailListFile, ReadsGbkAndUtf8AndNeverFails) {
    TempProgramDir dir;
    const QString path = dir.file(u"qinglanque.ini"_s);
    QFile sample(QStringLiteral(QLQ_SAMPLES_DIR "/qinglanque.ini"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    dir.write(u"qinglanque.ini"_s, sample.readAll());
    TailListContent content = loadTailListFile(path);
    EXPECT_EQ(content.encoding, TextEncoding::Gb18030);
    ASSERT_EQ(content.tails.size(), 11);
    EXPECT_EQ(content.tails[0], u"——发自我的小尾巴"_s);
    EXPECT_EQ(content.tails[3], QString());
    EXPECT_EQ(content.tails[4], u"  前后带空格的尾巴  "_s);
    EXPECT_EQ(content.tails[10], QString());

    dir.write(u"qinglanque.ini"_s, u"尾巴😀\r\nb"_s.toUtf8());
    content = loadTailListFile(path);
    EXPECT_EQ(content.encoding, TextEncoding::Utf8);
    EXPECT_EQ(content.tails, QStringList({u"尾巴😀"_s, u"b"_s}));

    QFile::remove(path);
    EXPECT_TRUE(loadTailListFile(path).readable); // missing: an empty list
    EXPECT_TRUE(loadTailListFile(path).tails.isEmpty());
    QDir().mkpath(path);
    EXPECT_FALSE(loadTailListFile(path).readable);
    EXPECT_TRUE(loadTailListFile(path).tails.isEmpty());
}

TEST(DataPaths, PortableCorvaneBesideTheProgramWins) {
    TempProgramDir program;
    QTemporaryDir user;
    EXPECT_EQ(DataPaths::resolve(program.path(), user.path()).baseDirectory(), user.path());
    QDir().mkpath(program.corvane());
    const DataPaths paths = DataPaths::resolve(program.path(), user.path());
    EXPECT_EQ(paths.tailListFile(), program.corvane() + u"/qinglanque.ini"_s);
    EXPECT_EQ(paths.optionsFile(), program.corvane() + u"/corvane.ini"_s);
}
