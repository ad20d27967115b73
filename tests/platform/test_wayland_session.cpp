#include "platform/key_sources.h"
#include "platform/press_path.h"
#include "platform/wayland/insert_binding.h"
#include "platform/wayland/portal_shortcut.h"
#include "platform/wayland/press_router.h"
#include "platform/wayland/restore_token_store.h"
#include "platform/wayland/wayland_session.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

using Trigger = PressPlan::Trigger;
using Clip = PressPlan::Clipboard;
using Typing = PressPlan::Typing;

struct FakeKeys : KeySource {
    bool pressed = false;
    std::function<void(KeyActivity)> handler;

    void report() {
        pressed = true;
        if (handler)
            handler(KeyActivity::F8Pressed);
    }
    std::optional<QString> problem() const override { return std::nullopt; }
    bool queryF8Pressed() override { return std::exchange(pressed, false); }
    void setHandler(std::function<void(KeyActivity)> h) override { handler = std::move(h); }
};

// One road of the router, its clipboard and its typist in one, logging under its name.
struct FakeRoad : ClipboardWriter, Typist {
    QString name;
    QStringList& log;
    std::optional<QString> hold;
    std::function<void(std::optional<QString>)> verdict; // kept until settle()

    FakeRoad(QString n, QStringList& l) : name(std::move(n)), log(l) {}
    std::optional<QString> problem() const override { return std::nullopt; }
    Take take(const QString& text) override { return log << name + ":take:" + text, Take{}; }
    std::optional<QString> confirm() override { return std::nullopt; }
    void whenSettled(std::function<void(std::optional<QString>)> v) override { verdict = v; }
    void setSettledHandler(std::function<void()>) override {}
    void settle() { std::exchange(verdict, {})(std::nullopt); }
    std::optional<QString> holdBack() override { return hold; }
    Typed paste() override { return log << name + ":paste", Typed{true, true, {}}; }
    Typed submit() override { return log << name + ":submit", Typed{true, true, {}}; }
};

} // namespace

TEST(WaylandSession, EachSessionGetsThePartsItOffersAndHearsWhatIsMissing) {
    struct Row {
        const char* desktop;
        SessionOffer offer;
        PressPlan plan;
        const char* noticeMentions; // nullptr: no notice
    };
    constexpr auto Command = Trigger::InsertCommand, Portal = Trigger::PortalShortcut;
    constexpr auto Wl = Clip::DataControl, X11 = Clip::X11;
    constexpr auto Vk = Typing::VirtualKeyboard, Rd = Typing::RemoteDesktop;
    const Row rows[] = {
        {"sway, F8 bound", {true, true, false, 0, true}, {Command, Wl, Vk, false}, nullptr},
        {"sway",
         {true, true, false, 0, false},
         {Command, Wl, Vk, false},
         "bindsym F8 exec qinglanque --insert"},
        {"Plasma 5.27", {true, false, true, 1, false}, {Portal, Wl, Rd, false}, nullptr},
        {"Plasma 6", {true, false, true, 2, false}, {Portal, Wl, Rd, true}, nullptr},
        {"Hyprland", {true, true, true, 2, false}, {Portal, Wl, Vk, false}, nullptr},
        {"GNOME 43",
         {false, false, false, 1, false},
         {Command, X11, Rd, false},
         "qinglanque --bind-gnome-f8"},
        {"GNOME 48", {false, false, true, 2, false}, {Portal, X11, Rd, true}, nullptr},
        {"no portal",
         {false, false, false, 0, true},
         {Command, X11, Typing::XWaylandOnly, false},
         "xdg-desktop-portal-gnome"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.desktop);
        const PressPlan plan = planPressPath(row.offer);
        EXPECT_EQ(plan.trigger, row.plan.trigger);
        EXPECT_EQ(plan.clipboard, row.plan.clipboard);
        EXPECT_EQ(plan.typing, row.plan.typing);
        EXPECT_EQ(plan.persistRemoteDesktop, row.plan.persistRemoteDesktop);
        const std::optional<QString> notice = startupNotice(row.offer, plan);
        EXPECT_EQ(notice.has_value(), row.noticeMentions != nullptr);
        if (notice && row.noticeMentions) {
            EXPECT_TRUE(notice->contains(QString::fromUtf8(row.noticeMentions)))
                << notice->toStdString();
        }
    }
}

TEST(WaylandSession, OnlyTheSessionsOwnXWaylandIsAWaylandSession) {
    const QStringList xwayland{"XWAYLAND0", "XWAYLAND1"}, xvfb{"screen"};
    EXPECT_TRUE(isWaylandSession("wayland-0", "", xwayland));
    EXPECT_TRUE(isWaylandSession("", "wayland", xwayland));
    EXPECT_FALSE(isWaylandSession("wayland-0", "wayland", xvfb)); // tests under a Wayland desktop
    EXPECT_FALSE(isWaylandSession("", "x11", xwayland));
}

TEST(WaylandSession, SwayConfigBindingTheInsertCommand) {
    const std::pair<const char*, bool> rows[] = {
        {"bindsym F8 exec qinglanque --insert", true},
        {"set $mod Mod4\n  bindsym --no-repeat F8 exec /opt/bin/qinglanque --verbose --insert\n",
         true},
        {"# bindsym F8 exec qinglanque --insert", false},
        {"bindsym F8 exec qinglanque", false},
        {"exec qinglanque --insert", false},
    };
    for (const auto& [config, binds] : rows)
        EXPECT_EQ(configBindsInsert(QString::fromUtf8(config)), binds) << config;
}

TEST(WaylandSession, OnePhysicalPressReportedTwiceIsOnePressOnTheRoadOfWhoSawItFirst) {
    struct Row {
        bool xi2First;
        bool secondFromOther; // else the same source reports again
        qint64 gapMs;
        QStringList roads;
    };
    const Row rows[] = {
        {true, true, 20, {"x11"}},
        {false, true, KeySources::kSamePressMs - 1, {"session"}},
        {true, true, KeySources::kSamePressMs, {"x11", "session"}},
        {true, false, 20, {"x11", "x11"}}, // two taps seen by one source are two presses
    };
    for (const Row& row : rows) {
        FakeKeys xi2, portal;
        qint64 now = 1000;
        KeySources keys({&xi2, &portal}, [&now] { return now; });
        QStringList roads;
        keys.setHandler([&](KeyActivity) {
            if (keys.queryF8Pressed())
                roads << (keys.lastPressOnlyFrom(&xi2) ? "x11" : "session");
        });
        FakeKeys& first = row.xi2First ? xi2 : portal;
        FakeKeys& other = row.xi2First ? portal : xi2;
        first.report();
        now += row.gapMs;
        (row.secondFromOther ? other : first).report();
        EXPECT_EQ(roads, row.roads) << row.gapMs;
        EXPECT_FALSE(keys.queryF8Pressed()); // nothing left over for the next poll
    }
}

TEST(WaylandSession, PortalShortcutIsATapUntilReleasesComeAndNeverHeldForEver) {
    qint64 now = 0;
    PortalShortcut shortcut(QDBusConnection(QStringLiteral("none")), [&now] { return now; });
    const QDBusObjectPath session; // no session was created: its handle is empty
    const QString id = QString::fromLatin1(PortalShortcut::kShortcutId);
    const auto press = [&] { shortcut.onActivated(session, id, 0, {}); };
    const auto release = [&] { shortcut.onDeactivated(session, id, 0, {}); };
    const auto polls = [&](int count) {
        QString seen;
        for (int i = 0; i < count; ++i, now += 500)
            seen += shortcut.queryF8Pressed() ? 'x' : '.';
        return seen;
    };

    press(); // a desktop that never reported a release: one press, not a held key
    EXPECT_EQ(polls(3), "x..");
    release();
    press();
    EXPECT_EQ(polls(3), "xxx"); // held, as a held F8 repeats
    release();
    EXPECT_EQ(polls(2), "..");
    press(); // its release got lost
    EXPECT_EQ(polls(8), "xxxxxx..");
    shortcut.onActivated(session, QStringLiteral("another-shortcut"), 0, {});
    EXPECT_EQ(polls(1), ".");
}

TEST(WaylandSession, RouterSendsXi2PressesThroughX11AndTheRestThroughTheSession) {
    QStringList log;
    FakeRoad x11(QStringLiteral("x11"), log), wl(QStringLiteral("wl"), log);
    FakeKeys xi2, portal, requested;
    KeySources keys({&xi2, &portal, &requested});
    PressRouter router({x11, x11}, {wl, wl},
                       [&keys, &xi2] { return keys.lastPressOnlyFrom(&xi2); });
    PressPath path(keys, router.clipboard(), router.typist());
    const auto press = [&](FakeKeys& source, const char* text) {
        source.pressed = true;
        EXPECT_TRUE(path.queryF8Pressed());
        return path.deliver(QString::fromUtf8(text), true).outcome;
    };

    EXPECT_EQ(press(xi2, "a"), DeliveryResult::Outcome::Sent);
    x11.settle();
    EXPECT_EQ(press(portal, "b"), DeliveryResult::Outcome::Sent);
    // The session's paste waits for its window to fetch; meanwhile an XWayland press is held.
    x11.hold = QStringLiteral("Alt is held");
    EXPECT_EQ(press(xi2, "c"), DeliveryResult::Outcome::HeldBack);
    wl.settle(); // Ctrl+Enter goes where its paste went
    x11.hold.reset();
    EXPECT_EQ(press(requested, "d"), DeliveryResult::Outcome::Sent);
    EXPECT_EQ(log, QStringList({"x11:take:a", "x11:paste", "x11:submit", "wl:take:b", "wl:paste",
                                "wl:submit", "wl:take:d", "wl:paste"}));
}

TEST(WaylandSession, RestoreTokenIsKeptPrivateReplacedAndForgotten) {
    QTemporaryDir home;
    const QString file = home.path() + QStringLiteral("/config/qinglanque/remote-desktop-token");
    const RestoreTokenStore store(file);
    EXPECT_EQ(store.load(), QString());
    ASSERT_TRUE(store.save(QStringLiteral("first-token")));
    EXPECT_EQ(QFile::permissions(file) & ~(QFile::ReadUser | QFile::WriteUser),
              QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(
        store.save(QStringLiteral("second-token"))); // the portal hands out a new one each time
    EXPECT_EQ(RestoreTokenStore(file).load(), QStringLiteral("second-token"));

    // A token others could read may have been copied: the user is asked again instead.
    QFile::setPermissions(file, QFile::permissions(file) | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_EQ(store.load(), QString());
    ASSERT_TRUE(store.save(QString()));
    EXPECT_FALSE(QFile::exists(file));
}
