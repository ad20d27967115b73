#include "insert/insertion_engine.h"
#include "platform/fake/fake_desktop.h"
#include "support/scripted_controls.h"

#include <QLoggingCategory>
#include <QTest>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

QStringList insertLog;
void keepInsertLog(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (QLatin1String(context.category) == QLatin1String("qlq.insert"))
        insertLog << message;
}

struct EngineTest : ::testing::Test {
    FakeDesktop desktop;
    ScriptedControls controls;
    NextRandom random;
    InsertionEngine engine{desktop.pressPath(), controls, random};

    static QString lead(const QString& tail) { return QStringLiteral("\u3000\r\n") + tail; }
    static QString clip(const QString& text) { return QStringLiteral("clipboard:") + text; }
    int pastes() const { return static_cast<int>(desktop.calls().count(QStringLiteral("paste"))); }
    // One tap between two polls; the tail it pasted ("" when none).
    QString press() {
        const int before = pastes();
        desktop.pressF8();
        engine.tick();
        return pastes() > before ? desktop.clipboard().mid(3) : QString();
    }
};

} // namespace

TEST_F(EngineTest, ClipboardThenPasteThenSubmitOncePerTapAndAtEveryPollWhileHeld) {
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

TEST_F(EngineTest, RandomOrderDrawsFromTheOneSourceAndLeavesListOrderAlone) {
    controls.rows = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    controls.random = true;
    // The seeded source's first draws: 0.305, 0.740, 0.485.
    EXPECT_EQ(press(), "3");
    EXPECT_EQ(press(), "7");
    EXPECT_EQ(press(), "4");
    controls.random = false;
    EXPECT_EQ(press(), "0");
}

TEST_F(EngineTest, APressThatDidNotPasteSkipsNoTailAndSendsNoReply) {
    controls.submit = true;
    desktop.setClipboardFails(true);
    EXPECT_EQ(press(), QString());
    desktop.setClipboardFails(false);
    desktop.setPasteFails(true);
    EXPECT_EQ(press(), QString());
    engine.tick(); // nothing retried
    EXPECT_FALSE(desktop.calls().contains(QStringLiteral("submit")));
    desktop.setPasteFails(false);
    EXPECT_EQ(press(), "一");

    // A paste on a key that may not type V, or a clipboard another program changed: the tail
    // is in the box as far as anyone knows, but no reply goes.
    for (const bool uncertainKey : {true, false}) {
        desktop.setPasteUncertain(uncertainKey);
        if (!uncertainKey)
            desktop.setPasteDoubt(QStringLiteral("another program put other text there"));
        desktop.clearCalls();
        EXPECT_FALSE(press().isEmpty());
        EXPECT_FALSE(desktop.calls().contains(QStringLiteral("submit"))) << uncertainKey;
    }
    // A failed Ctrl+Enter after a good paste still leaves the tail in the box.
    desktop.setPasteUncertain(false);
    desktop.setPasteDoubt(std::nullopt);
    desktop.setSubmitFails(true);
    EXPECT_EQ(press(), "一");
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

TEST_F(EngineTest, AHeldBackPasteGoesWhenTheHoldEndsAndAClickMeanwhileHasTheLastWord) {
    controls.submit = true;
    desktop.setModifierHeld(true);
    press();
    engine.tick();
    EXPECT_EQ(pastes(), 0);
    engine.rowChosen(2); // the user clicks a row while the paste waits
    desktop.setModifierHeld(false);
    desktop.emitKeyActivity(KeyActivity::HoldEnded);
    EXPECT_EQ(desktop.calls().mid(desktop.calls().size() - 3),
              QStringList({clip(lead("一")), "paste", "submit"}));
    EXPECT_EQ(press(), "三");

    // A clipboard that must settle first holds the paste back the same way.
    desktop.setClipboardSettling(true);
    EXPECT_EQ(press(), QString());
    desktop.settleClipboard();
    EXPECT_EQ(desktop.clipboard(), lead("一"));
}

TEST_F(EngineTest, APasteHeldBackForMoreThanFiveSecondsIsDroppedWithoutSkippingItsTail) {
    QLoggingCategory::setFilterRules(QStringLiteral("qlq.insert=true"));
    const QtMessageHandler previous = qInstallMessageHandler(keepInsertLog);
    desktop.setModifierHeld(true);
    press();
    QTest::qWait(InsertionEngine::kDeferLimitMs + 700); // the poll gives up on it
    desktop.setModifierHeld(false);
    desktop.emitKeyActivity(KeyActivity::HoldEnded);
    qInstallMessageHandler(previous);
    EXPECT_EQ(pastes(), 0);
    EXPECT_EQ(press(), "一");
    // What held it back is said once, and again when the press is dropped.
    EXPECT_EQ(insertLog.filter(QStringLiteral("scripted: a modifier is held")).size(), 2)
        << insertLog.join('\n').toStdString();
}

TEST_F(EngineTest, AReportedPressIsAnsweredAtOnceButOnlyOncePerPoll) {
    desktop.emitKeyActivity(KeyActivity::F8Pressed);
    EXPECT_EQ(pastes(), 1);
    desktop.emitKeyActivity(KeyActivity::F8Pressed); // left to the regular poll
    EXPECT_EQ(pastes(), 1);
    engine.tick();
    EXPECT_EQ(pastes(), 2);

    desktop.pressF8(); // the poll runs on its own
    EXPECT_TRUE(QTest::qWaitFor([&] { return pastes() == 3; }, 3000));

    engine.stop();
    press();
    desktop.emitKeyActivity(KeyActivity::F8Pressed);
    EXPECT_EQ(pastes(), 3);
}
