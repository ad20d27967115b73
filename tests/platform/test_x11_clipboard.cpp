// Reading and setting the X11 clipboard against real owners on a private Xvfb: a silent owner,
// xclip, an owner that sends in INCR pieces, Qt itself, no owner at all, and an owner that
// takes the clipboard just before a press.
#include "insert/insertion_controls.h"
#include "insert/insertion_engine.h"
#include "platform/x11/x11_clipboard_reader.h"
#include "platform/x11/x11_desktop.h"
#include "support/x11_selection_owner.h"
#include "x11_test_tools.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

struct ReadOutcome {
    bool answered = false;
    std::optional<QString> text;
    int ticksBefore = 0; // GUI timer ticks seen before the answer came
    qint64 elapsedMs = 0;
};

// Reads through `start` while a 20 ms timer runs on the GUI thread.
template <typename Start> ReadOutcome readWhileTicking(Start start) {
    ReadOutcome outcome;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    QElapsedTimer clock;
    clock.start();
    start([&](std::optional<QString> text) {
        outcome.answered = true;
        outcome.text = std::move(text);
        outcome.ticksBefore = ticks;
        outcome.elapsedMs = clock.elapsed();
    });
    (void)QTest::qWaitFor([&] { return outcome.answered; }, 10000);
    return outcome;
}

ReadOutcome readThroughDesktop(X11Desktop& desktop) {
    return readWhileTicking([&](auto done) { desktop.readClipboardText(done); });
}

ReadOutcome readThroughReader(X11ClipboardReader& reader) {
    return readWhileTicking([&](auto done) { reader.read(done); });
}

// Text long enough that owners send it in pieces, with Chinese and line ends in it.
QString longText() {
    QString text;
    for (int i = 0; text.size() < 200 * 1024; ++i)
        text += QStringLiteral("第%1行 小尾巴 tail\r\n").arg(i);
    return text;
}

bool waitForOwner() {
    return QTest::qWaitFor([] { return currentClipboardOwner() != 0; }, 5000);
}

} // namespace

TEST(X11ClipboardRead, SilentOwnerGivesUpAfterTheLimitWithoutBlockingTheWindow) {
    X11SelectionOwner owner(X11SelectionOwner::Answer::Never);
    ASSERT_TRUE(owner.take());
    X11Desktop desktop;
    const ReadOutcome outcome = readThroughDesktop(desktop);
    ASSERT_TRUE(outcome.answered);
    EXPECT_FALSE(outcome.text.has_value());
    EXPECT_LT(outcome.elapsedMs, 3000);
    // Had the GUI thread waited for the owner, the timer could have fired once at most.
    EXPECT_GE(outcome.ticksBefore, 3);
}

TEST(X11ClipboardRead, NoOwnerGivesEmptyText) {
    ASSERT_EQ(currentClipboardOwner(), 0u);
    X11Desktop desktop;
    const ReadOutcome outcome = readThroughDesktop(desktop);
    ASSERT_TRUE(outcome.answered);
    ASSERT_TRUE(outcome.text.has_value());
    EXPECT_EQ(*outcome.text, QString());
}

TEST(X11ClipboardRead, XclipOwnerGivesItsTextExactly) {
    const QString text = QStringLiteral("青岚雀 小尾巴\r\n  second line  \r\n😀");
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                          QStringLiteral("clipboard"), QStringLiteral("-i")});
    ASSERT_TRUE(xclip.waitForStarted(5000));
    xclip.write(text.toUtf8());
    xclip.closeWriteChannel();
    ASSERT_TRUE(waitForOwner());

    X11Desktop desktop;
    const ReadOutcome outcome = readThroughDesktop(desktop);
    xclip.kill(); // by its pid
    xclip.waitForFinished(5000);
    ASSERT_TRUE(outcome.answered);
    ASSERT_TRUE(outcome.text.has_value());
    EXPECT_EQ(*outcome.text, text);
}

TEST(X11ClipboardRead, LargeTextsArriveWholeAlsoInPieces) {
    const QString text = longText();
    ASSERT_GT(text.toUtf8().size(), 300 * 1024);
    {
        X11SelectionOwner owner(X11SelectionOwner::Answer::InPieces, text.toUtf8(), 64 * 1024);
        ASSERT_TRUE(owner.take());
        X11Desktop desktop;
        const ReadOutcome outcome = readThroughDesktop(desktop);
        ASSERT_TRUE(outcome.answered);
        ASSERT_TRUE(outcome.text.has_value());
        EXPECT_EQ(outcome.text->size(), text.size());
        EXPECT_EQ(*outcome.text, text);
    }
    {
        X11SelectionOwner owner(X11SelectionOwner::Answer::AllAtOnce, text.toUtf8());
        ASSERT_TRUE(owner.take());
        X11Desktop desktop;
        const ReadOutcome outcome = readThroughDesktop(desktop);
        ASSERT_TRUE(outcome.text.has_value());
        EXPECT_EQ(*outcome.text, text);
    }
}

TEST(X11ClipboardRead, QtOwnerIsReadWhileItsEventLoopRuns) {
    // Another Qt program (here: this one, read over the reader's own connection) answers from
    // its event loop, so the read must not hold that loop up.
    const QString text = longText();
    QGuiApplication::clipboard()->setText(text);
    ASSERT_TRUE(waitForOwner());
    X11ClipboardReader reader;
    const ReadOutcome outcome = readThroughReader(reader);
    ASSERT_TRUE(outcome.answered);
    ASSERT_TRUE(outcome.text.has_value());
    EXPECT_EQ(*outcome.text, text);
}

namespace {

struct OneTail : InsertionControls {
    int rowCount() const override { return 1; }
    QString rowText(int row) const override {
        return row == 0 ? QStringLiteral("尾巴") : QString();
    }
    bool randomOrder() const override { return false; }
    bool appendOwnTail() const override { return false; }
    bool sendAfterInsert() const override { return false; }
    QString ownTail() const override { return QString(); }
    void showComposed(const QString&) override {}
};

} // namespace

TEST(X11ClipboardSet, OwnerThatJustTookTheClipboardMakesTheSetFailAndThePressIsSkipped) {
    X11Desktop desktop;
    OneTail controls;
    NextRandom random;
    InsertionEngine engine(desktop, controls, random);
    QStringList delivered;
    QObject::connect(&engine, &InsertionEngine::delivered,
                     [&](const QString& text) { delivered << text; });
    ASSERT_TRUE(desktop.setClipboardText(QStringLiteral("before")));

    // Another program takes the clipboard and our event loop has not seen it yet: the X server
    // refuses Qt's older timestamp, and Qt itself still believes it owns the clipboard.
    X11SelectionOwner other(X11SelectionOwner::Answer::AllAtOnce, QByteArray("theirs"));
    ASSERT_TRUE(other.take());
    EXPECT_FALSE(desktop.setClipboardText(QStringLiteral("refused")));
    EXPECT_EQ(currentClipboardOwner(), other.window());

    // A press at this moment is skipped: no paste of what the other program holds.
    xdotool({QStringLiteral("keydown"), QStringLiteral("F8")});
    engine.tick();
    xdotool({QStringLiteral("keyup"), QStringLiteral("F8")});
    EXPECT_TRUE(delivered.isEmpty());
    EXPECT_EQ(currentClipboardOwner(), other.window());

    // Once the event loop has run, the next press goes through as usual.
    xdotool({QStringLiteral("key"), QStringLiteral("F8")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delivered.isEmpty(); }, 5000));
    EXPECT_EQ(delivered, QStringList{QStringLiteral("\u3000\r\n尾巴")});
    EXPECT_NE(currentClipboardOwner(), other.window());
    X11ClipboardReader reader;
    const ReadOutcome outcome = readThroughReader(reader);
    ASSERT_TRUE(outcome.text.has_value());
    EXPECT_EQ(*outcome.text, QStringLiteral("\u3000\r\n尾巴"));
}
