// The press path's clipboard against real owners on a private Xvfb: a program that takes the
// clipboard back with its own text, large texts, the reader, serving at exit. (Clipboard
// managers against Chromium: tests/e2e.)
#include "insert/insertion_engine.h"
#include "platform/x11/x11_clipboard_reader.h"
#include "support/scripted_controls.h"
#include "support/x11_clipboard_rival.h"
#include "x11_test_tools.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>

using namespace qlq;
using namespace std::chrono_literals;

namespace {

struct ReadOutcome {
    bool answered = false;
    std::optional<QString> text;
    int ticksBefore = 0; // GUI timer ticks seen before the answer came
};

// Reads while a 20 ms timer runs on the GUI thread.
ReadOutcome readWhileTicking() {
    X11ClipboardReader reader(qgetenv("DISPLAY"));
    ReadOutcome out;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    reader.read([&](std::optional<QString> text) { out = {true, std::move(text), ticks}; });
    (void)QTest::qWaitFor([&] { return out.answered; }, 10000);
    return out;
}

// F8 into a focused line edit, through the engine, with Ctrl+Enter asked for.
struct X11Pasting : X11DesktopTest {
    QLineEdit box;
    ScriptedControls controls;
    NextRandom random;
    std::unique_ptr<InsertionEngine> engine;
    int replies = 0; // Ctrl+Enter in the box

    void SetUp() override {
        X11DesktopTest::SetUp();
        controls.submit = true;
        engine = std::make_unique<InsertionEngine>(desktop.pressPath(), controls, random);
        QObject::connect(&box, &QLineEdit::returnPressed, [this] { ++replies; });
        box.show();
        box.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    }
    // One F8 tap; the text the box then holds once the paste had its chance.
    QString press() {
        box.clear();
        xdotool({"key", "F8"});
        (void)QTest::qWaitFor([&] { return !box.text().isEmpty(); }, 1000);
        QTest::qWait(3 * 80); // the clipboard's settle time thrice: Ctrl+Enter, if any, has gone
        return box.text();
    }
};

} // namespace

TEST(X11ClipboardRead, NoOwnerGivesEmptyTextAndASilentOneGivesUpWithoutBlockingTheWindow) {
    ReadOutcome out = readWhileTicking();
    ASSERT_TRUE(out.answered);
    EXPECT_EQ(out.text, QString());

    X11ClipboardRival silent(X11ClipboardRival::Kind::Silent);
    out = readWhileTicking();
    ASSERT_TRUE(out.answered);
    EXPECT_FALSE(out.text.has_value());
    // Had the GUI thread waited for the owner, the timer could have fired once at most.
    EXPECT_GE(out.ticksBefore, 3);
}

TEST_F(X11Pasting, NoReplyGoesWhenAnotherProgramPutsItsOwnTextThere) {
    for (const auto delay : {2ms, 5ms}) {
        X11ClipboardRival other(X11ClipboardRival::Kind::OtherText, delay);
        // The first paste may meet either text; from then on the paste waits for the clipboard
        // to settle and gives up on a foreign text.
        const QString first = press();
        EXPECT_TRUE(first.isEmpty() || first.endsWith(QStringLiteral("一")) ||
                    first == QStringLiteral("rival"))
            << first.toStdString();
        EXPECT_EQ(press(), QString()) << delay.count();
        EXPECT_EQ(replies, 0) << delay.count();
    }
    // Once nobody takes the clipboard back, pastes go as before, and no tail was skipped.
    EXPECT_EQ(press(), QStringLiteral("\u3000\r\n二"));
    EXPECT_EQ(press(), QStringLiteral("\u3000\r\n三"));
    EXPECT_EQ(replies, 2);
}

TEST(X11ClipboardOwner, ServesATextOfMegabytesInPartsAndTheLastTextWhileTheProgramEnds) {
    auto desktop = std::make_unique<X11Desktop>();
    QString big;
    while (big.size() < qsizetype(600) * 1024)
        big += QStringLiteral("小尾巴 tail 😀\r\n");
    ASSERT_EQ(desktop->pressPath().deliver(big, false).outcome, DeliveryResult::Outcome::Sent);
    EXPECT_TRUE(readWhileTicking().text == big);

    ASSERT_EQ(desktop->pressPath().deliver(QStringLiteral("末尾"), false).outcome,
              DeliveryResult::Outcome::Sent);
    QProcess reader; // asks while the program ends
    reader.start(QStringLiteral("xclip"), {"-o", "-selection", "clipboard"});
    ASSERT_TRUE(reader.waitForStarted());
    desktop.reset();
    ASSERT_TRUE(reader.waitForFinished(5000));
    EXPECT_EQ(QString::fromUtf8(reader.readAllStandardOutput()), QStringLiteral("末尾"));
}
