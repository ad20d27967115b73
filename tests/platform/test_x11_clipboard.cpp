// Reading and setting the X11 clipboard against real owners on a private Xvfb.
#include "insert/insertion_engine.h"
#include "platform/x11/x11_clipboard_reader.h"
#include "platform/x11/x11_desktop.h"
#include "support/scripted_controls.h"
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

// Reads while a 20 ms timer runs on the GUI thread.
ReadOutcome readWhileTicking() {
    X11ClipboardReader reader(qgetenv("DISPLAY"));
    ReadOutcome out;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    QElapsedTimer clock;
    clock.start();
    reader.read([&](std::optional<QString> text) {
        out = {true, std::move(text), ticks, clock.elapsed()};
    });
    (void)QTest::qWaitFor([&] { return out.answered; }, 10000);
    return out;
}

} // namespace

TEST(X11ClipboardRead, NoOwnerGivesEmptyTextAndASilentOneGivesUpWithoutBlockingTheWindow) {
    ReadOutcome out = readWhileTicking();
    ASSERT_TRUE(out.answered);
    EXPECT_EQ(out.text, QString());

    X11SelectionOwner silent;
    ASSERT_TRUE(silent.take());
    out = readWhileTicking();
    ASSERT_TRUE(out.answered);
    EXPECT_FALSE(out.text.has_value());
    EXPECT_LT(out.elapsedMs, 3000);
    // Had the GUI thread waited for the owner, the timer could have fired once at most.
    EXPECT_GE(out.ticksBefore, 3);
}

TEST(X11ClipboardRead, ALongChineseTextArrivesWholeFromOurOwnClipboard) {
    QString text;
    for (int i = 0; text.size() < qsizetype(200) * 1024; ++i)
        text += QStringLiteral("第%1行 小尾巴 tail 😀  \r\n").arg(i);
    // Qt answers for this program from its event loop, which the read must not hold up.
    QGuiApplication::clipboard()->setText(text);
    ASSERT_TRUE(QGuiApplication::clipboard()->ownsClipboard());
    EXPECT_TRUE(readWhileTicking().text == text);
}

TEST(X11ClipboardSet, OwnerThatJustTookTheClipboardMakesTheSetFailAndThePressIsSkipped) {
    X11Desktop desktop;
    ScriptedControls controls;
    controls.rows = QStringList{QStringLiteral("尾巴")};
    NextRandom random;
    InsertionEngine engine(desktop.pressPath(), controls, random);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));

    // Another program takes the clipboard and our event loop has not seen it yet: the X server
    // refuses Qt's older timestamp, and Qt itself still believes it owns the clipboard.
    X11SelectionOwner other;
    ASSERT_TRUE(other.take());

    // A press at this moment is skipped: no paste of what the other program holds.
    xdotool({"keydown", "F8"});
    engine.tick();
    xdotool({"keyup", "F8"});
    EXPECT_TRUE(other.owns());

    // Once the event loop has run, the next press goes through as usual.
    xdotool({"key", "F8"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !other.owns(); }, 5000));
    EXPECT_EQ(readWhileTicking().text, QStringLiteral("\u3000\r\n尾巴"));
}
