// Binary files never failing: the random bytes in test_file_faults. The save rules: the codec's
// and test_tail_list_text's.
#include "data/data_paths.h"
#include "data/tail_list_file.h"
#include "data/tail_list_text.h"
#include "data/tail_list_writer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace qlq;
using namespace Qt::StringLiterals;

TEST(TailListFile, ReadsTheGbkSampleAndNeverFails) {
    const TailListContent content =
        loadTailListFile(QStringLiteral(QLQ_SAMPLES_DIR "/qinglanque.ini"));
    EXPECT_EQ(content.encoding, TextEncoding::Gb18030);
    ASSERT_EQ(content.tails.size(), 11);
    EXPECT_EQ(content.tails[0], u"——发自我的小尾巴"_s);
    EXPECT_EQ(content.tails[3], QString());
    EXPECT_EQ(content.tails[4], u"  前后带空格的尾巴  "_s);
    EXPECT_EQ(content.tails[10], QString());

    TempProgramDir dir;
    const QString path = dir.file(u"qinglanque.ini"_s);
    EXPECT_FALSE(loadTailListFile(path).problem); // missing: an empty list
    EXPECT_TRUE(loadTailListFile(path).tails.isEmpty());
    QDir().mkpath(path);
    EXPECT_EQ(loadTailListFile(path).problem->kind, FileProblem::Kind::IsDirectory);
    EXPECT_TRUE(loadTailListFile(path).tails.isEmpty());
}

TEST(TailListFile, AnUnchangedListSavesBackByteForByte) {
    // Read, shown in the editor's document and saved as the editor does: every encoding and
    // every way a file can end its lines, mark and stray last byte included.
    TempProgramDir dir;
    const QString path = dir.file(u"qinglanque.ini"_s);
    const QList<std::pair<QByteArray, QString>> files = {
        {"\xc4\xe3\xba\xc3\r\n\r\nlf\nkept\r\n", u"你好"_s},            // GBK
        {"\xc4\xe3\x94\x39\xfc\x36\r\n\x95\x32\x82\x36\r\n", u"你😀"_s}, // GB18030
        {"\xCE\xB2\xB0\xCD \x80\r\n", u"尾巴 €"_s},                     // code page 936
        {u"你好，这是尾巴\r\n第二条尾巴\r\n"_s.toUtf8() + "caf\xE9\r\n",
         u"你好，这是尾巴"_s},                     // Latin-1
        {"\xef\xbb\xbf\xe4\xbd\xa0\r\n", u"你"_s}, // UTF-8 with a mark
        {QByteArray::fromHex("fffe3e5cf45d0d000a00"), u"尾巴"_s},
        {QByteArray::fromHex("feff5c3e5df4000d000a"), u"尾巴"_s},
        {"a\rb\r\r\nc\r", u"a"_s},   // lone CRs among CR LF
        {"a\r\r\nb", u"a"_s},        // and no line end at the end
        {"a\rb\rc\r", u"a"_s},       // CR only
        {"a\nb\n", u"a\nb\n"_s},     // LF only: one tail
        {"\xEF\xBB\xBF", QString()}, // marks alone
        {"\xFF\xFE", QString()},
        {"\xFE\xFF", QString()},
        {QByteArray::fromHex("fffe61000d000a0042"), u"a"_s}, // UTF-16 with a stray last byte
    };
    for (const auto& [bytes, first] : files) {
        dir.write(u"qinglanque.ini"_s, bytes);
        const TailListContent content = loadTailListFile(path);
        EXPECT_EQ(content.tails.value(0), first);
        const EditorDocumentText shown =
            toEditorDocumentText(tailListEditorText(content.tails, content.lineEnds));
        const QString text =
            fromEditorDocumentText(shown.text, shown.kept, shown.lineEnds, shown.usualEnd);
        EXPECT_FALSE(
            saveTailListFile(path, tailListTextToSave(text, shown.closing), content.encoding));
        EXPECT_EQ(dir.read(u"qinglanque.ini"_s), bytes) << bytes.toHex().toStdString();
    }
}

TEST(DataPaths, PortableCorvaneBesideTheProgramWins) {
    TempProgramDir program;
    QTemporaryDir user;
    EXPECT_EQ(DataPaths::resolve(program.path(), user.path())->baseDirectory(), user.path());
    EXPECT_FALSE(DataPaths::resolve(program.path(), std::nullopt)) << "no home: no folder";
    QDir().mkpath(program.corvane());
    for (const std::optional<QString>& home :
         {std::optional(user.path()), std::optional<QString>()}) {
        const std::optional<DataPaths> paths = DataPaths::resolve(program.path(), home);
        ASSERT_TRUE(paths);
        EXPECT_EQ(paths->tailListFile(), program.corvane() + u"/qinglanque.ini"_s);
        EXPECT_EQ(paths->optionsFile(), program.corvane() + u"/corvane.ini"_s);
    }
}
