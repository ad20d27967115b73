#include "insert/insertion_controls.h"
#include "insert/insertion_engine.h"
#include "platform/fake/fake_desktop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

struct Controls : InsertionControls {
    QStringList rows{QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")};
    bool random = false, own = false, submit = false;
    QString ownText = QStringLiteral("[own]");
    QString scratch;

    int rowCount() const override { return static_cast<int>(rows.size()); }
    QString rowText(int row) const override { return row < rows.size() ? rows[row] : QString(); }
    bool randomOrder() const override { return random; }
    bool appendOwnTail() const override { return own; }
    bool sendAfterInsert() const override { return submit; }
    QString ownTail() const override { return ownText; }
    void showComposed(const QString& text) override { scratch = text; }
};

struct EngineTest : ::testing::Test {
    FakeDesktop desktop;
    Controls controls;
    NextRandom random;
    InsertionEngine engine{desktop, controls, random};

    QString lead(const QString& tail) { return QStringLiteral("\u3000\r\n") + tail; }
    QString clip(const QString& text) { return QStringLiteral("clipboard:") + text; }
};

} // namespace

TEST_F(EngineTest, IdleTickOnlyQueriesTheKey) {
    engine.tick();
    EXPECT_EQ(desktop.f8Queries(), 1);
    EXPECT_TRUE(desktop.calls().isEmpty());
}

TEST_F(EngineTest, PressSetsClipboardThenPastesThenSubmits) {
    controls.submit = true;
    desktop.pressF8();
    engine.tick();
    EXPECT_EQ(desktop.calls(), QStringList({clip(lead("一")), "paste", "submit"}));
    EXPECT_EQ(controls.scratch, lead("一"));
}

TEST_F(EngineTest, OwnTailUsesTheTwoLineForm) {
    controls.own = true;
    desktop.pressF8();
    engine.tick();
    EXPECT_EQ(desktop.clipboard(), QStringLiteral("\u3000\r\n\u3000\r\n一\r\n[own]"));
}

TEST_F(EngineTest, HeldKeyInsertsAtEveryTickAndATapOnlyOnce) {
    desktop.setF8Held(true);
    engine.tick();
    engine.tick();
    desktop.setF8Held(false);
    engine.tick();
    desktop.pressF8();
    engine.tick();
    engine.tick();
    EXPECT_EQ(desktop.calls().count(QStringLiteral("paste")), 3);
    EXPECT_EQ(desktop.clipboard(), lead("三"));
}

TEST_F(EngineTest, RandomOrderIsTheSameInEveryRun) {
    controls.rows.clear();
    for (int i = 0; i < 50; ++i)
        controls.rows << QString::number(i);
    controls.random = true;
    auto run = [&] {
        FakeDesktop d;
        NextRandom r;
        InsertionEngine e{d, controls, r};
        QStringList got;
        for (int i = 0; i < 10; ++i) {
            d.pressF8();
            e.tick();
            got << d.clipboard();
        }
        return got;
    };
    const QStringList first = run();
    EXPECT_EQ(first, run());
    EXPECT_GT(QSet<QString>(first.begin(), first.end()).size(), 3);
}

TEST_F(EngineTest, EmptyListStillPastesAndSends) {
    controls.rows.clear();
    controls.submit = true;
    controls.own = true;
    desktop.pressF8();
    engine.tick();
    EXPECT_EQ(desktop.calls(), QStringList({clip(QStringLiteral("\u3000\r\n\u3000\r\n\r\n[own]")),
                                            "paste", "submit"}));
    EXPECT_EQ(engine.chooser().lastIndex(), 0);
}

TEST_F(EngineTest, FailedClipboardOrPasteSkipsThePressAndNeverSends) {
    controls.submit = true;
    desktop.setClipboardFails(true);
    desktop.pressF8();
    engine.tick();
    EXPECT_TRUE(desktop.calls().isEmpty());

    desktop.setClipboardFails(false);
    desktop.setInjectionFails(true);
    desktop.pressF8();
    engine.tick();
    EXPECT_EQ(desktop.calls(), QStringList({clip(lead("二"))}));
    engine.tick();
    EXPECT_EQ(desktop.calls().size(), 1); // nothing retried
}

TEST_F(EngineTest, HeldModifierDefersThePressUntilReleased) {
    controls.submit = true;
    desktop.setModifierHeld(true);
    desktop.pressF8();
    engine.tick();
    engine.tick();
    EXPECT_FALSE(desktop.calls().contains(QStringLiteral("paste")));
    EXPECT_FALSE(desktop.calls().contains(QStringLiteral("submit")));
    desktop.setModifierHeld(false);
    desktop.emitKeyActivity(KeyActivity::ModifierReleased);
    EXPECT_EQ(desktop.calls().mid(desktop.calls().size() - 2), QStringList({"paste", "submit"}));
    EXPECT_EQ(desktop.calls().count(QStringLiteral("paste")), 1);
}

TEST_F(EngineTest, KeyWatcherAnswersAPressAtOnceButNotTwiceWithinATick) {
    desktop.emitKeyActivity(KeyActivity::F8Pressed);
    EXPECT_EQ(desktop.calls().count(QStringLiteral("paste")), 1);
    EXPECT_EQ(engine.timer().remainingTime() > 400, true); // Timer2 started anew
    // A second tap right after is left to the regular tick.
    desktop.emitKeyActivity(KeyActivity::F8Pressed);
    EXPECT_EQ(desktop.calls().count(QStringLiteral("paste")), 1);
    engine.tick();
    EXPECT_EQ(desktop.calls().count(QStringLiteral("paste")), 2);
}

TEST_F(EngineTest, Timer2PollsOnItsOwn) {
    EXPECT_EQ(engine.timer().interval(), 500);
    EXPECT_TRUE(engine.timer().isActive());
    desktop.pressF8();
    QElapsedTimer clock;
    clock.start();
    while (desktop.calls().isEmpty() && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_TRUE(desktop.calls().contains(QStringLiteral("paste")));
}
