#include "app/program.h"
#include "data/tail_editor_window.h"
#include "platform/fake/fake_desktop.h"
#include "platform/twips.h"
#include "shell/main_window.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace qlq;

namespace {

const QString kTailFile = QStringLiteral("qinglanque.ini");

// Counts the program's requests to end (the Quit event sent to the application).
class QuitCounter : public QObject {
public:
    QuitCounter() { qApp->installEventFilter(this); }
    int quits = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::Quit)
            ++quits;
        return false;
    }
};

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class EditorWindowTest : public ::testing::Test {
protected:
    TempProgramDir dir;
    FakeDesktop desktop;
    QuitCounter quit;
    std::unique_ptr<Program> program;

    void start(const QByteArray& tailFile) {
        dir.write(kTailFile, tailFile);
        program = std::make_unique<Program>(desktop, DataPaths(dir.path()));
        program->showMainWindow();
    }

    MainWindow* mainWindow() const { return program->mainWindow(); }

    TailEditorWindow* open() {
        program->openEditor();
        TailEditorWindow* editor = program->editor();
        if (editor) {
            EXPECT_TRUE(QTest::qWaitFor([editor] { return editor->textLoaded(); }, 30000));
        }
        return editor;
    }

    static QPlainTextEdit* text5(TailEditorWindow* editor) {
        return editor->findChild<QPlainTextEdit*>(QStringLiteral("Text5"));
    }
    static QPushButton* buttonOf(QWidget* window, const char* name) {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    static void click(QWidget* window, const char* name) {
        QTest::mouseClick(buttonOf(window, name), Qt::LeftButton);
    }
    // Appends a line the way a user does: to the end, then Enter.
    static void typeLine(TailEditorWindow* editor, const QString& line) {
        QPlainTextEdit* edit = text5(editor);
        edit->moveCursor(QTextCursor::End);
        for (const QChar c : line) {
            if (c.unicode() < 0x80)
                QTest::keyClick(edit, c.toLatin1());
            else // what an input method delivers
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
        }
        QTest::keyClick(edit, Qt::Key_Return);
    }

    // Runs `action` inside the event loop (the program only ends a running loop) and tells whether
    // the program then asked to end. The exit queued after the action lets every check that the
    // action scheduled run first.
    bool endsAfter(const std::function<void()>& action) {
        const int before = quit.quits;
        QObject context;
        QTimer::singleShot(0, &context, [&] {
            action();
            QMetaObject::invokeMethod(
                &context, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        });
        QCoreApplication::exec();
        return quit.quits > before;
    }

    int messages() const {
        return static_cast<int>(desktop.calls().filter(QStringLiteral("message:")).size());
    }
};

} // namespace

TEST_F(EditorWindowTest, OpensOnTheListAndAnUnchangedSaveKeepsTheFileByteForByte) {
    // GBK text, an empty tail, blanks and a no-break space, a tail holding a lone LF.
    const QByteArray gbk("\xc4\xe3\xba\xc3\r\n\r\n  blanks\x81\x30\x84\x32 \r\nline\nfeed\r\n");
    start(gbk);
    QIcon icon(QPixmap(16, 16));
    mainWindow()->setWindowIcon(icon);

    click(mainWindow(), "Command15");
    QPointer<TailEditorWindow> editor = program->editor();
    ASSERT_TRUE(editor);
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->textLoaded(); }, 30000));
    EXPECT_EQ(editor->objectName(), QStringLiteral("Form5"));
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("青岚雀贴吧小尾巴        修改内容"));
    EXPECT_EQ(editor->windowIcon().cacheKey(), mainWindow()->windowIcon().cacheKey());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(editor->isModal());
    EXPECT_EQ(editor->parentWidget(), nullptr);
    for (const char* name : {"Command16", "Command1"}) {
        EXPECT_FALSE(buttonOf(editor, name)->isDefault()) << name;
        EXPECT_FALSE(buttonOf(editor, name)->autoDefault()) << name;
    }
    EXPECT_EQ(buttonOf(editor, "Command16")->text(), QStringLiteral("保存修改"));
    EXPECT_EQ(buttonOf(editor, "Command1")->text(), QStringLiteral("取消"));

    EXPECT_EQ(editor->editorText(),
              QStringLiteral("你好\r\n\r\n  blanks\u00a0 \r\nline\nfeed\r\n"));
    // One line per tail plus the empty last one: the lone LF did not split its tail.
    EXPECT_EQ(text5(editor)->blockCount(), 5);

    const QStringList before = mainWindow()->tails();
    click(editor, "Command16");
    settle();
    EXPECT_FALSE(editor);
    EXPECT_EQ(dir.read(kTailFile), gbk);
    EXPECT_EQ(mainWindow()->tails(), before);
    EXPECT_EQ(messages(), 0);
}

TEST_F(EditorWindowTest, EditsAddAndRemoveLinesAndReloadTheList) {
    start("a\r\nb\r\nc\r\n");
    QPointer<TailEditorWindow> editor = open();
    ASSERT_TRUE(editor);

    QTextCursor cursor(text5(editor)->document()->findBlockByNumber(1));
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.removeSelectedText(); // "b" and its line end
    typeLine(editor, QStringLiteral("新的"));
    QTest::keyClicks(text5(editor), QStringLiteral("last"));
    // A pasted block of lines becomes lines of the list.
    text5(editor)->insertPlainText(QStringLiteral("\r\npasted\nlines"));

    click(editor, "Command16");
    settle();
    EXPECT_FALSE(editor);
    EXPECT_EQ(dir.read(kTailFile),
              QByteArray("a\r\nc\r\n\xd0\xc2\xb5\xc4\r\nlast\r\npasted\r\nlines\r\n"));
    EXPECT_EQ(mainWindow()->tails(),
              QStringList({"a", "c", QStringLiteral("新的"), "last", "pasted", "lines"}));

    // Emptied editor: empty file, empty list.
    editor = open();
    ASSERT_TRUE(editor);
    text5(editor)->selectAll();
    QTest::keyClick(text5(editor), Qt::Key_Delete);
    click(editor, "Command16");
    settle();
    EXPECT_FALSE(editor);
    EXPECT_EQ(dir.read(kTailFile), QByteArray());
    EXPECT_TRUE(mainWindow()->tails().isEmpty());
}

TEST_F(EditorWindowTest, WritesTheEncodingTheListWasReadIn) {
    start("\xe4\xbd\xa0\r\n");
    QPointer<TailEditorWindow> editor = open();
    ASSERT_TRUE(editor);
    typeLine(editor, QStringLiteral("好"));
    click(editor, "Command16");
    settle();
    EXPECT_EQ(dir.read(kTailFile), QByteArray("\xe4\xbd\xa0\r\n\xe5\xa5\xbd\r\n"));
    EXPECT_EQ(mainWindow()->tails(), QStringList({QStringLiteral("你"), QStringLiteral("好")}));
}

QByteArray hundredThousandTails() {
    QByteArray file;
    for (int i = 0; i < 100000; ++i)
        file += "\xb5\xda" + QByteArray::number(i) + " tail\r\n";
    return file;
}

TEST_F(EditorWindowTest, HundredThousandLinesOpenAndSaveWhole) {
    const QByteArray file = hundredThousandTails();
    start(file);
    ASSERT_EQ(mainWindow()->tails().size(), 100000);

    QPointer<TailEditorWindow> editor = open();
    ASSERT_TRUE(editor);
    EXPECT_EQ(text5(editor)->blockCount(), 100001);
    // Edits work on a list that size, and a click before the text arrived would have done nothing.
    typeLine(editor, QStringLiteral("one more"));
    click(editor, "Command16");
    settle();
    EXPECT_FALSE(editor);
    EXPECT_EQ(dir.read(kTailFile), file + "one more\r\n");
    ASSERT_EQ(mainWindow()->tails().size(), 100001);
    EXPECT_EQ(mainWindow()->tails().at(99999), QStringLiteral("第99999 tail"));
}

TEST_F(EditorWindowTest, ClosingBeforeALongListHasArrivedIsSafe) {
    const QByteArray file = hundredThousandTails();
    start(file);
    program->openEditor();
    QPointer<TailEditorWindow> editor = program->editor();
    ASSERT_TRUE(editor);
    // The text comes from the event loop, which has not run yet: saving now would write nothing.
    ASSERT_FALSE(editor->textLoaded());
    EXPECT_FALSE(buttonOf(editor, "Command16")->isEnabled());
    EXPECT_TRUE(text5(editor)->isReadOnly());
    click(editor, "Command16");
    click(editor, "Command1");
    settle();
    EXPECT_FALSE(editor);
    EXPECT_EQ(dir.read(kTailFile), file);
    EXPECT_EQ(mainWindow()->tails().size(), 100000);

    // The program can end while a list is still being laid out.
    program->openEditor();
    program.reset();
}

TEST_F(EditorWindowTest, FailedSaveLosesNothingAndSaysSoOnce) {
    start("a\r\nb\r\n");
    QPointer<TailEditorWindow> editor = open();
    ASSERT_TRUE(editor);
    typeLine(editor, QStringLiteral("c"));
    // The file changed behind the editor's back; a reload after a failure would show it.
    dir.write(kTailFile, "other\r\n");

    // The disk fills up while the new file is written.
    {
        const FileSizeLimit limit(4);
        click(editor, "Command16");
    }
    settle();
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->editorText(), QStringLiteral("a\r\nb\r\nc\r\n"));
    EXPECT_EQ(dir.read(kTailFile), QByteArray("other\r\n"));
    EXPECT_EQ(mainWindow()->tails(), QStringList({"a", "b"}));
    ASSERT_EQ(messages(), 1);
    const QString message = desktop.calls().filter(QStringLiteral("message:")).first();
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(dir.file(kTailFile))))
        << message.toStdString();

    // corvane/ is no directory any more.
    QDir(dir.corvane()).removeRecursively();
    {
        QFile blocker(dir.corvane());
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.write("not a directory");
    }
    click(editor, "Command16");
    settle();
    ASSERT_TRUE(editor);
    EXPECT_EQ(messages(), 2);
    EXPECT_EQ(mainWindow()->tails(), QStringList({"a", "b"}));
    QFile blocker(dir.corvane());
    ASSERT_TRUE(blocker.open(QIODevice::ReadOnly));
    EXPECT_EQ(blocker.readAll(), QByteArray("not a directory"));
    blocker.close();

    // Once the way is clear again the same text saves.
    ASSERT_TRUE(QFile::remove(dir.corvane()));
    click(editor, "Command16");
    settle();
    EXPECT_FALSE(editor);
    EXPECT_EQ(dir.read(kTailFile), QByteArray("a\r\nb\r\nc\r\n"));
    EXPECT_EQ(mainWindow()->tails(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(messages(), 2);
}

TEST_F(EditorWindowTest, CancelAndTheCloseBoxChangeNothing) {
    const QByteArray original("a\r\nb");
    start(original);
    const QStringList before = mainWindow()->tails();

    QPointer<TailEditorWindow> editor = open();
    typeLine(editor, QStringLiteral("dropped"));
    click(editor, "Command1");
    settle();
    EXPECT_FALSE(editor);

    // A new opening starts again from the list.
    editor = open();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->editorText(), QStringLiteral("a\r\nb\r\n"));
    typeLine(editor, QStringLiteral("dropped too"));
    editor->close();
    settle();
    EXPECT_FALSE(editor);

    EXPECT_EQ(dir.read(kTailFile), original);
    EXPECT_EQ(mainWindow()->tails(), before);
    EXPECT_EQ(messages(), 0);
}

TEST_F(EditorWindowTest, OneEditorAtATimeAndTheEngineKeepsRunning) {
    start("a\r\n");
    TailEditorWindow* first = open();
    ASSERT_TRUE(first);
    typeLine(first, QStringLiteral("unsaved"));
    first->showMinimized();

    EXPECT_EQ(open(), first);
    EXPECT_FALSE(first->isMinimized());
    EXPECT_EQ(first->editorText(), QStringLiteral("a\r\nunsaved\r\n"));
    EXPECT_EQ(QApplication::topLevelWidgets().count(first), 1);

    // F8 while the editor has the focus still inserts.
    text5(first)->setFocus();
    EXPECT_TRUE(mainWindow()->engine().timer().isActive());
    desktop.pressF8();
    mainWindow()->engine().tick();
    EXPECT_TRUE(desktop.calls().contains(QStringLiteral("paste")));
}

TEST_F(EditorWindowTest, LayoutFollowsTheWindowAndSurvivesATinySize) {
    start("a\r\n");
    TailEditorWindow* editor = open();
    ASSERT_TRUE(editor);
    QPlainTextEdit* text = text5(editor);
    QPushButton* save = buttonOf(editor, "Command16");
    QPushButton* cancel = buttonOf(editor, "Command1");

    EXPECT_EQ(editor->size(), QSize(twips(13320), twips(8865)));
    // The rule works on the outer size, frame included.
    int w = editor->frameGeometry().width() * 15;
    int h = editor->frameGeometry().height() * 15;
    EXPECT_EQ(text->geometry(), twipsRect(1, 10, w - 200, h - 1200));
    EXPECT_EQ(cancel->geometry(), twipsRect(w - 1500, h - 1100, 975, 375));
    EXPECT_EQ(save->geometry(), twipsRect(w - 3800, h - 1100, 1575, 375));

    const QSize textSize = text->size();
    editor->resize(4, 4);
    QCoreApplication::processEvents();
    w = editor->frameGeometry().width() * 15;
    ASSERT_LT(w, 200);
    EXPECT_EQ(text->size(), textSize);
    EXPECT_EQ(cancel->pos(), QPoint(twips(w - 1500), twips(h - 1100)));
    EXPECT_EQ(save->pos(), QPoint(twips(w - 3800), twips(h - 1100)));
    EXPECT_EQ(messages(), 0);

    editor->resize(twips(6000), twips(3000));
    QCoreApplication::processEvents();
    w = editor->frameGeometry().width() * 15;
    h = editor->frameGeometry().height() * 15;
    EXPECT_EQ(text->geometry(), twipsRect(1, 10, w - 200, h - 1200));
    EXPECT_EQ(save->geometry(), twipsRect(w - 3800, h - 1100, 1575, 375));
}

TEST_F(EditorWindowTest, OutlivesTheMainWindowWithoutBringingItBack) {
    start("a\r\n");
    QPointer<TailEditorWindow> editor = open();
    ASSERT_TRUE(editor);
    typeLine(editor, QStringLiteral("b"));

    EXPECT_FALSE(endsAfter([&] { mainWindow()->close(); })); // the editor is still open
    settle();
    ASSERT_EQ(mainWindow(), nullptr);

    EXPECT_TRUE(endsAfter([&] { click(editor, "Command16"); }));
    settle();
    EXPECT_FALSE(editor);
    EXPECT_EQ(dir.read(kTailFile), QByteArray("a\r\nb\r\n"));
    EXPECT_EQ(messages(), 0);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
        EXPECT_EQ(qobject_cast<MainWindow*>(window), nullptr);
    }
}

TEST_F(EditorWindowTest, ClosingTheLastEditorEndsTheProgram) {
    start("a\r\n");
    QPointer<TailEditorWindow> editor = open();
    EXPECT_FALSE(endsAfter([&] { mainWindow()->close(); }));
    EXPECT_TRUE(endsAfter([&] { click(editor, "Command1"); }));
    settle();
    EXPECT_FALSE(editor);
    EXPECT_EQ(dir.read(kTailFile), QByteArray("a\r\n"));
}
