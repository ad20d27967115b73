// Binary files never failing: the random bytes in test_file_faults.
#include "data/data_paths.h"
#include "data/tail_list_file.h"
#include "data/tail_list_text.h"
#include "data/tail_list_writer.h"
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

TEST(TailListFile, ReadsBackWhatItWroteAndKeepsEveryByte) {
    TempProgramDir dir;
    const QString name = u"qinglanque.ini"_s;
    const QString path = dir.file(name);
    const QString text = u"尾巴\r\n"_s;
    // UTF-8 with one Latin-1 byte, code page 936 with its "€", UTF-16LE: an unchanged save keeps
    // every byte.
    const QByteArray files[] = {
        u"你好，这是尾巴\r\n第二条尾巴\r\n"_s.toUtf8() + "caf\xE9\r\n", "\xCE\xB2\xB0\xCD \x80\r\n",
        "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)};
    const QStringList firstTails[] = {
        {u"你好，这是尾巴"_s, u"第二条尾巴"_s, u"caf"_s + QChar(0xDCE9)},
        {u"尾巴 €"_s},
        {u"尾巴"_s}};
    for (int i = 0; i < 3; ++i) {
        dir.write(name, files[i]);
        const TailListContent content = loadTailListFile(path);
        EXPECT_EQ(content.tails, firstTails[i]);
        EXPECT_FALSE(saveTailListFile(path, tailListEditorText(content.tails), content.encoding));
        EXPECT_EQ(dir.read(name), files[i]);
    }

    // A UTF-8 list that lost its only CJK line must not come back as GB18030 ("caf茅").
    dir.write(name, u"尾巴\r\ncafé\r\n"_s.toUtf8());
    const TextEncoding encoding = loadTailListFile(path).encoding;
    EXPECT_EQ(encoding, TextEncoding::Utf8);
    EXPECT_FALSE(saveTailListFile(path, u"café\r\n"_s, encoding));
    const TailListContent content = loadTailListFile(path);
    EXPECT_EQ(content.tails, QStringList{u"café"_s});
    EXPECT_EQ(content.encoding, TextEncoding::Utf8WithBom);
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
