#include "insert/insertion_engine.h"
#include "platform/fake/fake_desktop.h"
#include "support/scripted_controls.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

struct EngineTest : ::testing::Test {
    FakeDesktop desktop;
    ScriptedControls controls;
    NextRandom random;
    InsertionEngine engine{desktop.pressPath(), controls, random};

    static QString lead(const QString& tail) { return QStringLiteral("\u3000\r\n") + tail; }
    static QString clip(const QString& text) { return QStringLiteral("clipboard:") + text; }
    int pastes() const { return static_cast<int>(desktop.calls().count(QStringLiteral("paste"))); }
    void press() {
        desktop.pressF8();
        engine.tick();
    }
};

} // namespace

TEST_F(EngineTest, ClipboardThenPasteThenSubmitOncePerTapAndAtEveryTickWhileHeld) {
    const int queries = desktop.f8Queries();
    engine.tick(); // idle: the key is only asked
    EXPECT_EQ(desktop.f8Queries(), queries + 1);
    EXPECT_TRUE(desktop.calls().isEmpty());

    controls.submit = true;
    press();
    engine.tick();
    EXPECT_EQ(desktop.calls(), QStringList({clip(lead("一")), "paste", "submit"}));
    EXPECT_EQ(controls.scratch, lead("一"));

    controls.own = true;
    desktop.setF8Held(true);
    engine.tick();
    engine.tick();
    desktop.setF8Held(false);
    engine.tick();
    EXPECT_EQ(pastes(), 3);
    EXPECT_EQ(desktop.clipboard(), lead(lead("三\r\n[own]")));

    controls.rows.clear(); // an empty list still pastes and sends
    desktop.clearCalls();
    press();
    EXPECT_EQ(desktop.calls(), QStringList({clip(lead(lead("\r\n[own]"))), "paste", "submit"}));
}

TEST_F(EngineTest, ARefusedClipboardDropsThePressWithoutSkippingItsTail) {
    desktop.setClipboardFails(true);
    press();
    EXPECT_TRUE(desktop.calls().isEmpty());
    desktop.setClipboardFails(false);
    press();
    EXPECT_EQ(desktop.clipboard(), lead("一"));
}

TEST_F(EngineTest, APressFromBeforeTheStartIsNoPress) {
    FakeDesktop splash; // F8 tapped during the splash, then held down across the start
    splash.pressF8();
    InsertionEngine tapped(splash.pressPath(), controls, random);
    tapped.tick();
    splash.setF8Held(true);
    InsertionEngine held(splash.pressPath(), controls, random);
    held.tick();
    EXPECT_TRUE(splash.calls().isEmpty());
    splash.setF8Held(false);
    held.tick();
    splash.pressF8(); // the first press after the old one is over counts
    held.tick();
    EXPECT_EQ(splash.calls(), QStringList({clip(lead("一")), "paste"}));
}

TEST_F(EngineTest, NoCtrlEnterWithoutTheCtrlV) {
    controls.submit = true;
    desktop.setPasteFails(true);
    press();
    engine.tick(); // nothing retried, nothing sent
    EXPECT_EQ(desktop.calls(), QStringList({clip(lead("一"))}));

    // A failed Ctrl+Enter after a good paste still leaves the tail in the box.
    desktop.setPasteFails(false);
    desktop.setSubmitFails(true);
    desktop.clearCalls();
    press();
    EXPECT_EQ(desktop.calls(), QStringList({clip(lead("一")), "paste"}));
}

TEST_F(EngineTest, AHeldModifierDefersThePasteUntilItsRelease) {
    controls.submit = true;
    desktop.setModifierHeld(true);
    press();
    engine.tick();
    EXPECT_EQ(pastes(), 0);
    EXPECT_FALSE(desktop.calls().contains(QStringLiteral("submit")));
    desktop.setModifierHeld(false);
    desktop.emitKeyActivity(KeyActivity::HoldEnded);
    EXPECT_EQ(desktop.calls().mid(desktop.calls().size() - 3),
              QStringList({clip(lead("一")), "paste", "submit"}));
    EXPECT_EQ(pastes(), 1);
}

TEST_F(EngineTest, AWatcherPressIsAnsweredAtOnceButOnlyOncePerTick) {
    auto* timer2 = engine.findChild<QTimer*>(QStringLiteral("Timer2"));
    ASSERT_NE(timer2, nullptr);
    desktop.emitKeyActivity(KeyActivity::F8Pressed);
    EXPECT_EQ(pastes(), 1);
    EXPECT_GT(timer2->remainingTime(), 400);         // Timer2 started anew
    desktop.emitKeyActivity(KeyActivity::F8Pressed); // left to the regular tick
    EXPECT_EQ(pastes(), 1);
    engine.tick();
    EXPECT_EQ(pastes(), 2);

    // Timer2 polls on its own.
    desktop.pressF8();
    const QDeadlineTimer deadline(3000);
    while (pastes() < 3 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(pastes(), 3);
}

TEST_F(EngineTest, AStoppedEngineInsertsNothing) {
    engine.stop();
    press();
    desktop.emitKeyActivity(KeyActivity::F8Pressed);
    EXPECT_TRUE(desktop.calls().isEmpty());
}
