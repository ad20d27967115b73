#include "data/editor_layout.h"
#include "data/tail_list_file.h"
#include "data/tail_list_text.h"
#include "data/tail_list_writer.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"
#include "text/line_splitter.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

const QString kTailFile = QStringLiteral("qinglanque.ini");

// What a user gets back after opening the editor on a list and saving it untouched.
QStringList afterUnchangedSave(const QStringList& tails) {
    return splitTailLines(tailListTextToSave(tailListEditorText(tails)));
}

// The editor's document splits paragraphs at CR LF and CR, and hands them back ended by U+2029.
QString throughDocument(const QString& text) {
    QString raw = toEditorDocumentText(text);
    raw.replace(QStringLiteral("\r\n"), QString(QChar(0x2029)));
    raw.replace(QLatin1Char('\r'), QChar(0x2029));
    return fromEditorDocumentText(raw);
}

} // namespace

TEST(TailListText, EditorTextEndsEveryTailWithCrLf) {
    EXPECT_EQ(tailListEditorText({}), QString());
    EXPECT_EQ(tailListEditorText({"a", "b"}), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(tailListEditorText({"", " x ", ""}), QStringLiteral("\r\n x \r\n\r\n"));
}

TEST(TailListText, SaveAddsALineEndOnlyWhereTheLastLineHasNone) {
    EXPECT_EQ(tailListTextToSave(u""), QString());
    EXPECT_EQ(tailListTextToSave(u"a\r\nb\r\n"), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(tailListTextToSave(u"a\r\nb"), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(tailListTextToSave(u"a\r"), QStringLiteral("a\r"));
    EXPECT_EQ(tailListTextToSave(u"\r\n"), QStringLiteral("\r\n"));
    // A lone LF is part of the tail, not a line end.
    EXPECT_EQ(tailListTextToSave(u"a\n"), QStringLiteral("a\n\r\n"));
}

TEST(TailListText, UnchangedListSurvivesASave) {
    const QList<QStringList> lists = {
        {},
        {""},
        {"", ""},
        {"a", "b"},
        {"a", "b", ""},
        {" blanks kept ", "\t"},
        {"lf\ninside", "ends in lf\n", "\nstarts with lf"},
        {QStringLiteral("小尾巴😀"), QStringLiteral("nbsp\u00a0here")},
    };
    for (const QStringList& tails : lists)
        EXPECT_EQ(afterUnchangedSave(tails), tails) << tails.join(QLatin1Char('|')).toStdString();
}

TEST(TailListText, DocumentKeepsLoneLineFeedsInsideTheirTail) {
    const QString text = QStringLiteral("a\nb\r\n\r\nc\u00a0d\r\n\ne\n\r\n");
    EXPECT_EQ(throughDocument(text), text);
    // One paragraph per tail: the lone LFs did not start new ones.
    EXPECT_EQ(toEditorDocumentText(text).count(QStringLiteral("\r\n")), 4);
    // What the user types: paragraphs become CR LF lines, a soft line break stays in its tail.
    EXPECT_EQ(fromEditorDocumentText(u"x\u2029y\u2028z\u2029"), QStringLiteral("x\r\ny\nz\r\n"));
}

TEST(EditorLayout, FollowsTheOuterSize) {
    EditorLayout layout;
    layOutEditor(layout, 13320, 8865);
    EXPECT_EQ(layout.text, QRect(1, 10, 13120, 7665));
    EXPECT_EQ(layout.save, QRect(9520, 7765, 1575, 375));
    EXPECT_EQ(layout.cancel, QRect(11820, 7765, 975, 375));
}

TEST(EditorLayout, TooSmallKeepsTheTextBoxSizeButStillPlacesTheButtons) {
    EditorLayout layout;
    layOutEditor(layout, 20000, 10000);
    layOutEditor(layout, 150, 1000);
    EXPECT_EQ(layout.text, QRect(1, 10, 19800, 8800));
    EXPECT_EQ(layout.cancel.topLeft(), QPoint(150 - 1500, 8900));
    EXPECT_EQ(layout.save.topLeft(), QPoint(150 - 1500 - 2300, 8900));
    EXPECT_EQ(layout.save.size(), QSize(1575, 375));

    // Only the step that would go negative is skipped.
    layOutEditor(layout, 5000, 1100);
    EXPECT_EQ(layout.text, QRect(1, 10, 4800, 8800));
    layOutEditor(layout, 100, 3000);
    EXPECT_EQ(layout.text, QRect(1, 10, 4800, 1800));
    EXPECT_EQ(layout.cancel.top(), 1900);
}

TEST(TailListWriter, UnchangedGbkFileIsWrittenBackByteForByte) {
    TempProgramDir dir;
    const QByteArray gbk("\xc4\xe3\xba\xc3\r\n\xd0\xa1\xce\xb2\xb0\xcd\r\n\r\nlf\nkept\r\n");
    dir.write(kTailFile, gbk);
    const TailListContent content = loadTailListFile(dir.file(kTailFile));
    ASSERT_EQ(content.tails.size(), 4);
    EXPECT_EQ(content.tails[1], QStringLiteral("小尾巴"));

    EXPECT_FALSE(
        saveTailListFile(dir.file(kTailFile), tailListEditorText(content.tails), content.encoding));
    EXPECT_EQ(dir.read(kTailFile), gbk);
}

TEST(TailListWriter, KeepsTheEncodingTheFileWasReadIn) {
    TempProgramDir dir;
    // An emoji and a rare ideograph GBK cannot hold, in a GB18030 file.
    const QByteArray gb18030("\xc4\xe3\x94\x39\xfc\x36\r\n\x95\x32\x82\x36\r\n");
    dir.write(kTailFile, gb18030);
    TailListContent content = loadTailListFile(dir.file(kTailFile));
    EXPECT_EQ(content.tails, QStringList({QStringLiteral("你😀"), QStringLiteral("𠀀")}));
    EXPECT_FALSE(
        saveTailListFile(dir.file(kTailFile), tailListEditorText(content.tails), content.encoding));
    EXPECT_EQ(dir.read(kTailFile), gb18030);

    const QByteArray utf8("\xe4\xbd\xa0\xe5\xa5\xbd\r\nb");
    dir.write(kTailFile, utf8);
    content = loadTailListFile(dir.file(kTailFile));
    EXPECT_FALSE(
        saveTailListFile(dir.file(kTailFile), tailListEditorText(content.tails), content.encoding));
    EXPECT_EQ(dir.read(kTailFile), utf8 + "\r\n");

    const QByteArray bom("\xef\xbb\xbf\xe4\xbd\xa0\r\n");
    dir.write(kTailFile, bom);
    content = loadTailListFile(dir.file(kTailFile));
    EXPECT_FALSE(
        saveTailListFile(dir.file(kTailFile), tailListEditorText(content.tails), content.encoding));
    EXPECT_EQ(dir.read(kTailFile), bom);
}

TEST(TailListWriter, EmptyTextEmptiesTheFileAndMissingDirectoryIsCreated) {
    TempProgramDir dir;
    dir.write(kTailFile, "old\r\n");
    EXPECT_FALSE(saveTailListFile(dir.file(kTailFile), QString(), TextEncoding::Utf8WithBom));
    EXPECT_TRUE(QFileInfo::exists(dir.file(kTailFile)));
    EXPECT_EQ(dir.read(kTailFile), QByteArray());
    EXPECT_TRUE(loadTailListFile(dir.file(kTailFile)).tails.isEmpty());

    QTemporaryDir fresh;
    const QString path = fresh.path() + QStringLiteral("/corvane/qinglanque.ini");
    EXPECT_FALSE(saveTailListFile(path, QStringLiteral("a\r\nb"), TextEncoding::Gb18030));
    EXPECT_EQ(loadTailListFile(path).tails, QStringList({"a", "b"}));
}

TEST(TailListWriter, FailureLeavesTheOldFileWholeAndSaysWhy) {
    TempProgramDir dir;
    const QByteArray old("\xc4\xe3\xba\xc3\r\nkeep me\r\n");
    dir.write(kTailFile, old);
    const QString path = dir.file(kTailFile);

    // A character no encoding can store.
    QString broken = QStringLiteral("ok\r\n");
    broken += QChar(0xd800);
    std::optional<QString> error = saveTailListFile(path, broken, TextEncoding::Gb18030);
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->isEmpty());
    EXPECT_EQ(dir.read(kTailFile), old);

    // The disk fills up halfway through the new file.
    {
        const FileSizeLimit limit(8);
        error = saveTailListFile(path, QString(200, QLatin1Char('x')), TextEncoding::Gb18030);
    }
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->isEmpty());
    EXPECT_EQ(dir.read(kTailFile), old);
    EXPECT_EQ(QDir(dir.corvane()).entryList(QDir::Files), QStringList({kTailFile}));

    // Something else stands where the file or its directory should be.
    QDir().mkpath(dir.file(QStringLiteral("taken/inside")));
    EXPECT_TRUE(saveTailListFile(dir.file(QStringLiteral("taken")), "a", TextEncoding::Gb18030));
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("taken"))).isDir());
    EXPECT_TRUE(saveTailListFile(path + QStringLiteral("/below"), "a", TextEncoding::Gb18030));
    EXPECT_EQ(dir.read(kTailFile), old);
}
