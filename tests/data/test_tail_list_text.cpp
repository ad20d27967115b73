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
    // cannot hold stands in, an unusual line end is marked, a long tail is held in pieces; all
    // come back as they were. 😀 straddles the first piece's end.
    const QString longTail =
        QString(kLongestParagraph - 1, u'x') + u"😀"_s + QString(2 * kLongestParagraph, u'y');
    const struct {
        QString text;
        qsizetype paragraphs, kept, lineEnds;
        LineEnd usual, closing;
    } documents[] = {
        {u"a\nb\r\n\r\nc\u2028d\u2029e\ufdd0f\ufdd1\r\n\ne\n\r\n"_s, 4, 4, 0, LineEnd::CrLf,
         LineEnd::CrLf},
        {u"a\rb\r\r\nc"_s, 3, 0, 1, LineEnd::Cr, LineEnd::None},
        {longTail + u"\r\n"_s, 3, 0, 2, LineEnd::CrLf, LineEnd::CrLf},
        {QString(), 0, 0, 0, LineEnd::CrLf, LineEnd::CrLf},
    };
    for (const auto& d : documents) {
        const EditorDocumentText shown = toEditorDocumentText(d.text);
        EXPECT_EQ(shown.text.count(QChar(0x2029)), d.paragraphs);
        EXPECT_EQ(shown.kept.size(), static_cast<std::size_t>(d.kept));
        EXPECT_EQ(shown.lineEnds.size(), static_cast<std::size_t>(d.lineEnds));
        EXPECT_EQ(shown.usualEnd, d.usual);
        EXPECT_EQ(shown.closing, d.closing);
        for (const QString& paragraph : shown.text.split(QChar(0x2029))) {
            EXPECT_LE(paragraph.size(), kLongestParagraph + 1);
            EXPECT_FALSE(paragraph.startsWith(QChar(0xDE00))); // the second half of 😀
        }
        EXPECT_EQ(fromEditorDocumentText(shown.text, shown.kept, shown.lineEnds, shown.usualEnd),
                  d.text);
    }
    // Unmarked (typed, pasted), a line separator is a lone LF.
    EXPECT_EQ(fromEditorDocumentText(u"x\u2029y\u2028z\u2029"), u"x\r\ny\nz\r\n"_s);
}

TEST(TailListWriter, EndsTheLastLineAndRefusesWhatNoEncodingStores) {
    // A line end is added only where the last line has none and the file's own last line had
    // one; a lone LF is part of its tail.
    const struct {
        const char *text, *saved;
        LineEnd closing;
    } saves[] = {{"a\r\nb\r\n", "a\r\nb\r\n", LineEnd::CrLf},
                 {"a\r\nb", "a\r\nb\r\n", LineEnd::CrLf},
                 {"", "", LineEnd::CrLf},
                 {"a\r", "a\r", LineEnd::CrLf},
                 {"a\n", "a\n\r\n", LineEnd::CrLf},
                 {"a\rb", "a\rb\r", LineEnd::Cr},
                 {"a\r\nb", "a\r\nb", LineEnd::None}};
    for (const auto& [text, saved, closing] : saves)
        EXPECT_EQ(tailListTextToSave(QString::fromLatin1(text), closing),
                  QString::fromLatin1(saved))
            << text;

    TempProgramDir dir;
    const QString path = dir.file(u"qinglanque.ini"_s);
    // A UTF-8 list that lost its only CJK line must not come back as GB18030 ("caf茅").
    EXPECT_FALSE(saveTailListFile(path, u"café\r\n"_s, TextEncoding::Utf8));
    EXPECT_EQ(loadTailListFile(path).tails, QStringList{u"café"_s});
    // An emptied list keeps the file's mark, where it has one.
    EXPECT_FALSE(saveTailListFile(path, QString(), TextEncoding::Utf8));
    EXPECT_EQ(dir.read(u"qinglanque.ini"_s), QByteArray());
    EXPECT_FALSE(saveTailListFile(path, QString(), TextEncoding::Utf16BeWithBom));
    EXPECT_EQ(dir.read(u"qinglanque.ini"_s), "\xFE\xFF");
    saveTailListFile(path, u"a\r\nb\r\n"_s, TextEncoding::Gb18030);

    // A character no encoding can store fails the save and leaves the file alone.
    const std::optional<FileProblem> error =
        saveTailListFile(path, u"ok\r\n"_s + QChar(0xd800), TextEncoding::Gb18030);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, FileProblem::Kind::Unencodable);
    EXPECT_EQ(dir.read(u"qinglanque.ini"_s), QByteArray("a\r\nb\r\n"));
}
