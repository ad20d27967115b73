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

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

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

// A target's request that the server routed to us just before another program took the
// clipboard still gets our text: unanswered, the target would wait for seconds.
TEST(X11ClipboardOwner, AnswersARequestRoutedToItAfterAnotherProgramTookTheClipboard) {
    X11Desktop desktop;
    ASSERT_EQ(desktop.pressPath().deliver(QStringLiteral("我们的"), false).outcome,
              DeliveryResult::Outcome::Sent);
    xcb_connection_t* c = xcb_connect(qgetenv("DISPLAY").constData(), nullptr);
    const auto reply = [](auto* answer) { // xcb's replies are malloc'ed
        const auto release = [](void* memory) { std::free(memory); };
        return std::unique_ptr<std::remove_pointer_t<decltype(answer)>, decltype(release)>(answer);
    };
    const auto atom = [&](const char* name) {
        return reply(xcb_intern_atom_reply(
                         c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr))
            ->atom;
    };
    const xcb_atom_t clipboard = atom("CLIPBOARD"), into = atom("QLQ_TEST_INTO");
    const auto owner = [&] {
        return reply(
                   xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr))
            ->owner;
    };
    const xcb_window_t ours = owner();
    QProcess other;
    other.start(QStringLiteral("xclip"), {"-quiet", "-i", "-selection", "clipboard"});
    other.write("theirs");
    other.closeWriteChannel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return owner() != ours; }, 5000));

    xcb_selection_request_event_t request{XCB_SELECTION_REQUEST};
    request.owner = ours;
    request.requestor = xcb_generate_id(c);
    request.selection = clipboard;
    request.target = atom("UTF8_STRING");
    request.property = into;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, request.requestor,
                      xcb_setup_roots_iterator(xcb_get_setup(c)).data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_send_event(c, 0, ours, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&request));
    xcb_flush(c);
    xcb_atom_t answered = XCB_NONE;
    (void)QTest::qWaitFor([&] {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY)
                answered = reinterpret_cast<xcb_selection_notify_event_t*>(event)->property;
            std::free(event);
        }
        return answered != XCB_NONE;
    });
    ASSERT_EQ(answered, into);
    const auto text = reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, request.requestor, into, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr));
    EXPECT_EQ(QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(text.get())),
                                xcb_get_property_value_length(text.get())),
              QStringLiteral("我们的"));
    other.kill();
    other.waitForFinished();
    xcb_disconnect(c);
}
