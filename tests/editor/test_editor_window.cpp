#include "data/file_access.h"
#include "data/tail_list_text.h"
#include "editor/tail_editor_names.h"
#include "shell/main_window_names.h"
#include "support/file_size_limit.h"
#include "support/program_fixture.h"

#include <QClipboard>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

#include <csignal>

using namespace qlq;
using namespace Qt::StringLiterals;
namespace names = tail_editor_names;

namespace {

const QString kTailFile = u"qinglanque.ini"_s;

struct EditorWindowTest : ProgramFixture {
    // The editor, opened (through the main window's button when asked), once its text is in.
    TailEditorWindow* open(bool byButton = false) {
        byButton ? click(mainWindow(), main_window_names::kEditList) : program->openEditor();
        TailEditorWindow* editor = program->editor();
        EXPECT_TRUE(editor && QTest::qWaitFor([editor] { return editor->textLoaded(); }, 30000));
        return editor;
    }
    static QPlainTextEdit* text5(QWidget* editor) {
        return child<QPlainTextEdit>(*editor, names::kText);
    }
    static void click(QWidget* window, const char* name) {
        QTest::mouseClick(child<QPushButton>(*window, name), Qt::LeftButton);
        settle();
    }
    static void typeLine(QWidget* editor, const QString& line, Qt::KeyboardModifiers with = {}) {
        text5(editor)->moveCursor(QTextCursor::End);
        text5(editor)->insertPlainText(line);
        QTest::keyClick(text5(editor), Qt::Key_Return, with);
    }
};

} // namespace

TEST_F(EditorWindowTest, OpensOnTheListAndSavesEditsKeepingTheOtherLinesByteForByte) {
    // GBK, an empty tail, blanks and a no-break space, a tail holding a lone LF.
    start("\xc4\xe3\xba\xc3\r\n\r\n  blanks\x81\x30\x84\x32 \r\nline\nfeed\r\n");
    QPointer<TailEditorWindow> editor = open(true);
    EXPECT_EQ(editor->editorText(), u"你好\r\n\r\n  blanks\u00a0 \r\nline\nfeed\r\n"_s);
    EXPECT_EQ(text5(editor)->blockCount(), 5); // the lone LF did not split its tail

    QTextCursor cursor(text5(editor)->document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText(); // the empty tail
    typeLine(editor, u"新的"_s);
    text5(editor)->insertPlainText(u"pasted\nlines"_s); // a pasted block becomes lines
    click(editor, names::kSave);
    EXPECT_FALSE(editor);
    EXPECT_EQ(dir.read(kTailFile), "\xc4\xe3\xba\xc3\r\n  blanks\x81\x30\x84\x32 \r\nline\nfeed\r\n"
                                   "\xd0\xc2\xb5\xc4\r\npasted\r\nlines\r\n");
    EXPECT_EQ(mainWindow()->tails(), QStringList({u"你好"_s, u"  blanks\u00a0 "_s, u"line\nfeed"_s,
                                                  u"新的"_s, u"pasted"_s, u"lines"_s}));
    EXPECT_EQ(messages(), 0);
}

TEST_F(EditorWindowTest, LineAndParagraphSeparatorsInTailsSaveUnchangedAndShiftEnterSplits) {
    // UTF-8 tails holding U+2028, U+2029, U+FDD0, U+FDD1 and a lone LF.
    const QByteArray file = u"a\u2028b\r\nc\u2029d\r\ne\ufdd0f\ufdd1\r\nlone\nlf\r\n"_s.toUtf8();
    start(file);
    QPointer<TailEditorWindow> editor = open();
    EXPECT_EQ(text5(editor)->blockCount(), 5);
    click(editor, names::kSave);
    EXPECT_EQ(dir.read(kTailFile), file);
    EXPECT_EQ(mainWindow()->tails().size(), 4);

    typeLine(editor = open(), u"g"_s, Qt::ShiftModifier);
    QGuiApplication::clipboard()->setText(u"h\u2028i"_s); // pasted, it is a new line too
    text5(editor)->paste();
    click(editor, names::kSave);
    EXPECT_EQ(dir.read(kTailFile), file + "g\r\nh\r\ni\r\n");

    // The codec's escapes for undecodable bytes (lone surrogates) go through the text as well.
    const QString escaped = u"x"_s + QChar(0xdc81) + u"y"_s;
    TailEditorWindow escapes(desktop, {{escaped}, {}, {}, {}, {}}, QIcon());
    ASSERT_TRUE(QTest::qWaitFor([&] { return escapes.textLoaded(); }));
    EXPECT_EQ(escapes.editorText(), escaped + u"\r\n"_s);
}

TEST_F(EditorWindowTest, LineEndsAndALongTailSaveAsTheFileHadThemAroundTheEdits) {
    // Mostly lone CRs, one CR LF, no line end at the end, a tail of 10 000 characters.
    const QByteArray longTail = QByteArray("\xC7\xE0").repeated(10000); // 青
    const QByteArray file = "x\r" + longTail + "\ry\r\r\nz";
    start(file);
    QPointer<TailEditorWindow> editor = open();
    const int pieces = static_cast<int>((10000 + kLongestParagraph - 1) / kLongestParagraph);
    EXPECT_EQ(text5(editor)->blockCount(), pieces + 4); // the long tail in several paragraphs
    click(editor, names::kSave);
    EXPECT_EQ(dir.read(kTailFile), file);

    // Enter inside the long tail, Backspace joining "y" to it, a long line pasted at the end.
    editor = open();
    QPlainTextEdit* box = text5(editor);
    const QTextBlock piece =
        box->document()->findBlockByNumber(1 + static_cast<int>(5000 / kLongestParagraph));
    QTextCursor cursor(piece);
    cursor.setPosition(piece.position() + static_cast<int>(5000 % kLongestParagraph));
    box->setTextCursor(cursor);
    QTest::keyClick(box, Qt::Key_Return);
    box->setTextCursor(QTextCursor(box->document()->findBlockByNumber(pieces + 2))); // "y"
    QTest::keyClick(box, Qt::Key_Backspace);
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Return);
    QGuiApplication::clipboard()->setText(u"new"_s + QString(5000, u'p'));
    box->paste();
    EXPECT_EQ(box->blockCount(), // the pasted line in pieces too
              pieces + 4 + static_cast<int>((5003 + kLongestParagraph - 1) / kLongestParagraph));
    const QString longText = QString(10000, u'青');
    box->selectAll();
    box->copy(); // a long tail is one line, whatever its paragraphs
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"x\n"_s + longText.left(5000) + u"\n"_s +
                                                        longText.mid(5000) + u"y\n\nz\nnew"_s +
                                                        QString(5000, u'p'));
    click(editor, names::kSave);
    EXPECT_EQ(dir.read(kTailFile), "x\r" + longTail.left(10000) + "\r" + longTail.mid(10000) +
                                       "y\r\r\nz\rnew" + QByteArray(5000, 'p'));
    EXPECT_EQ(mainWindow()->tails().size(), 6);
}

TEST_F(EditorWindowTest, EditsLeftAtTheSessionEndAreKeptBesideTheListAndOfferedNextTime) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "logout arrives as a signal on Unix only";
#endif
    const QString unsaved = kTailFile + u".unsaved"_s;
    start("a\r\n");
    program->endWithTheSession();
    QPointer<TailEditorWindow> editor = open();
    typeLine(editor, u"新"_s);
    // What logout sends: the list stays as it was, the edits go beside it in its encoding.
    EXPECT_TRUE(asksToQuit([&] {
        std::raise(SIGTERM);
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(dir.file(unsaved)); }));
    }));
    EXPECT_EQ(dir.read(unsaved), "a\r\n\xd0\xc2\r\n");
    EXPECT_EQ(dir.read(kTailFile), "a\r\n");

    const auto answer = [&](const QString& button, const QString& text) {
        editor = open();
        auto* box = editor->findChild<QMessageBox*>();
        ASSERT_TRUE(box && QTest::qWaitFor([box] { return box->isVisible(); }));
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == button)
                QTest::mouseClick(b, Qt::LeftButton);
        }
        settle();
        EXPECT_FALSE(QFile::exists(dir.file(unsaved)));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return editor->hasUnsavedEdits() == (button == u"恢复"_s); }));
        EXPECT_EQ(editor->editorText(), text);
    };
    start();
    answer(u"恢复"_s,
           u"a\r\n新\r\n"_s); // into the editor, unsaved: the list is not written unasked
    EXPECT_EQ(dir.read(kTailFile), "a\r\n");
    ASSERT_TRUE(editor->keepUnsavedText());
    click(editor, names::kCancel); // 取消 still discards; a normal close keeps nothing
    typeLine(open(), u"b"_s);
    click(program->editor(), names::kCancel);
    EXPECT_EQ(dir.read(unsaved), "a\r\n\xd0\xc2\r\n"); // the one kept before

    answer(u"丢弃"_s, u"a\r\n"_s);
    EXPECT_EQ(messages(), 0);
}

TEST_F(EditorWindowTest, AListThatCouldNotBeReadIsShownAsSuchAndNeverSavedOver) {
    dir.write(kTailFile, "a\r\n");
    ASSERT_TRUE(QFile(dir.file(kTailFile)).resize(kMaxReadBytes + 1)); // sparse: too big to read
    start();
    ASSERT_EQ(messages(), 1);
    EXPECT_TRUE(desktop.calls().last().contains(QDir::toNativeSeparators(dir.file(kTailFile))));

    QPointer<TailEditorWindow> editor = open();
    typeLine(editor, u"new"_s);
    click(editor, names::kSave);
    EXPECT_TRUE(editor && editor->isVisible());
    EXPECT_EQ(QFileInfo(dir.file(kTailFile)).size(), kMaxReadBytes + 1);
    EXPECT_EQ(messages(), 2);
}

TEST_F(EditorWindowTest, HundredThousandLinesOpenAndSaveWhole) {
    QByteArray file;
    for (int i = 0; i < 100000; ++i)
        file += "\xb5\xda" + QByteArray::number(i) + " tail\r\n";
    start(file);
    ASSERT_EQ(mainWindow()->tails().size(), 100000);

    program->openEditor();
    QPointer<TailEditorWindow> editor = program->editor();
    ASSERT_TRUE(editor && !editor->textLoaded());
    click(editor, names::kSave); // before the text has arrived a save would empty the file
    ASSERT_TRUE(editor);
    EXPECT_EQ(open(), editor);
    EXPECT_EQ(text5(editor)->blockCount(), 100001);
    typeLine(editor, u"one more"_s);
    click(editor, names::kSave);
    EXPECT_FALSE(editor);
    EXPECT_EQ(dir.read(kTailFile), file + "one more\r\n");
    ASSERT_EQ(mainWindow()->tails().size(), 100001);
    EXPECT_EQ(mainWindow()->tails().at(99999), u"第99999 tail"_s);

    program->openEditor(); // the program can end while a list is still being laid out
    program.reset();
}

TEST_F(EditorWindowTest, FailedSaveLosesNothingAndSaysSoOnce) {
    if (!FileSizeLimit::kAvailable)
        GTEST_SKIP() << "no way to fill the disk here";
    start("a\r\nb\r\n");
    QPointer<TailEditorWindow> editor = open();
    typeLine(editor, u"c"_s);
    dir.write(kTailFile, "other\r\n"); // changed behind the editor's back: no reload may show it
    {
        const FileSizeLimit fullDisk(4);
        click(editor, names::kSave);
    }
    ASSERT_TRUE(editor && editor->isVisible());
    EXPECT_EQ(editor->editorText(), u"a\r\nb\r\nc\r\n"_s);
    EXPECT_EQ(dir.read(kTailFile), QByteArray("other\r\n"));
    EXPECT_EQ(mainWindow()->tails(), QStringList({"a", "b"}));
    ASSERT_EQ(messages(), 1);
    EXPECT_TRUE(desktop.calls().last().contains(QDir::toNativeSeparators(dir.file(kTailFile))));

    click(editor, names::kSave); // once the disk has room the same text saves
    EXPECT_FALSE(editor);
    EXPECT_EQ(dir.read(kTailFile), QByteArray("a\r\nb\r\nc\r\n"));
    EXPECT_EQ(mainWindow()->tails(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(messages(), 1);
}

TEST_F(EditorWindowTest, AUtf8ListIsSavedAsUtf8AndTheSaveKeepsTheListPosition) {
    start("\xe7\x94\xb2\r\n\xe4\xb9\x99\r\n\xe4\xb8\x99\r\n"); // 甲乙丙 in UTF-8
    QPointer<TailEditorWindow> editor = open();
    editor->showMinimized();
    EXPECT_EQ(open(), editor); // one at a time, brought back
    EXPECT_FALSE(editor->isMinimized());
    const QStringList rows = mainWindow()->tails();
    pressF8();
    // Past row 0 and 1, so that no reset can look like going on.
    const qsizetype before = rows.indexOf(pressF8().mid(3));
    typeLine(editor, u"丁"_s);
    click(editor, names::kSave);
    ASSERT_FALSE(editor);
    EXPECT_EQ(dir.read(kTailFile), u"甲\r\n乙\r\n丙\r\n丁\r\n"_s.toUtf8());
    EXPECT_EQ(rows.indexOf(pressF8().mid(3)), before + 1);
}

TEST_F(EditorWindowTest, OutlivesTheMainWindowAndItsLastCloseEndsTheProgram) {
    for (const char* name : {names::kSave, names::kCancel}) {
        start("a\r\n");
        QPointer<TailEditorWindow> editor = open();
        typeLine(editor, u"b"_s);
        EXPECT_FALSE(asksToQuit([&] { mainWindow()->close(); })) << name;
        settle();
        ASSERT_EQ(mainWindow(), nullptr);
        EXPECT_TRUE(asksToQuit([&] { click(editor, name); }));
        EXPECT_FALSE(editor);
        const bool saved = name == names::kSave;
        EXPECT_EQ(dir.read(kTailFile), saved ? "a\r\nb\r\n" : "a\r\n");
        EXPECT_EQ(messages(), 0);
        for (QWidget* window : QApplication::topLevelWidgets())
            EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
    }
}
