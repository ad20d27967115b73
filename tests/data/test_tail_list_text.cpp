#include "data/tail_list_file.h"
#include "data/tail_list_text.h"
#include "data/tail_list_writer.h"
#include "support/temp_dir.h"
#include "text/line_splitter.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qlq;
using namespace Qt::StringLiterals;

TEST(TailListText, EditorAndSavedTextGiveTheSameListBack) {
    const QList<QStringList> lists = {{},
                                      {""},
                                      {"a", "b", ""},
                                      {" blanks kept ", "\t"},
                                      {"lf\ninside", "ends in lf\n", "\nstarts with lf"},
                                      {u"小尾巴😀"_s, u"nbsp\u00a0here"_s}};
    for (const QStringList& tails : lists)
        EXPECT_EQ(splitTailLines(tailListTextToSave(tailListEditorText(tails))), tails)
            << tails.join(u'|').toStdString();

    // The document: one paragraph per tail, a lone LF a line break inside it; what a paragraph
    // cannot hold stands in and comes back as itself.
    const QString text = u"a\nb\r\n\r\nc\u2028d\u2029e\ufdd0f\ufdd1\r\n\ne\n\r\n"_s;
    const EditorDocumentText shown = toEditorDocumentText(text);
    EXPECT_EQ(shown.text.count(QChar(0x2029)), 4);
    EXPECT_EQ(shown.kept.size(), 4u);
    EXPECT_EQ(fromEditorDocumentText(shown.text, shown.kept), text);
    // Unmarked (typed, pasted), a line separator is a lone LF.
    EXPECT_EQ(fromEditorDocumentText(u"x\u2029y\u2028z\u2029"), u"x\r\ny\nz\r\n"_s);
}

TEST(TailListWriter, EndsTheLastLineAndRefusesWhatNoEncodingStores) {
    TempProgramDir dir;
    const QString path = dir.file(u"qinglanque.ini"_s);
    // A line end is added only where the last line has none; a lone LF is part of its tail.
    const char* saves[][2] = {{"a\r\nb\r\n", "a\r\nb\r\n"},
                              {"a\r\nb", "a\r\nb\r\n"},
                              {"", ""},
                              {"a\r", "a\r"},
                              {"a\n", "a\n\r\n"}};
    for (const auto& [text, bytes] : saves) {
        EXPECT_FALSE(saveTailListFile(path, QString::fromLatin1(text), TextEncoding::Gb18030));
        EXPECT_TRUE(QFileInfo::exists(path));
        EXPECT_EQ(dir.read(u"qinglanque.ini"_s), QByteArray(bytes));
    }
    // A UTF-8 list that lost its only CJK line must not come back as GB18030 ("caf茅").
    EXPECT_FALSE(saveTailListFile(path, u"café\r\n"_s, TextEncoding::Utf8));
    EXPECT_EQ(loadTailListFile(path).tails, QStringList{u"café"_s});
    saveTailListFile(path, u"a\r\nb"_s, TextEncoding::Gb18030);

    // A character no encoding can store fails the save and leaves the file alone.
    const std::optional<FileProblem> error =
        saveTailListFile(path, u"ok\r\n"_s + QChar(0xd800), TextEncoding::Gb18030);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, FileProblem::Kind::Unencodable);
    EXPECT_EQ(dir.read(u"qinglanque.ini"_s), QByteArray("a\r\nb\r\n"));
}
