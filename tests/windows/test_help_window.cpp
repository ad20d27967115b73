#include "windows/help_window.h"

#include "app/program.h"
#include "config/build_config.h"
#include "config/web_addresses.h"
#include "platform/fake/fake_desktop.h"
#include "support/temp_dir.h"
#include "windows/wait_for.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

template <typename W = QLabel> W* child(QWidget& window, const char* name) {
    W* w = window.findChild<W*>(QString::fromLatin1(name));
    if (!w)
        ADD_FAILURE() << "no control " << name;
    return w;
}

void moveOver(QWidget* target) {
    const QPointF pos(3, 3);
    QMouseEvent event(QEvent::MouseMove, pos, target->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QString opened(const QUrl& url) {
    return QStringLiteral("open:") + url.toString(QUrl::FullyEncoded);
}

struct Contact {
    const char* name;
    qreal points;
    bool bold;
};

} // namespace

TEST(HelpWindow, ShowsEveryCaptionExactly) {
    FakeDesktop desktop;
    HelpWindow window(desktop);

    EXPECT_EQ(window.windowTitle(), QStringLiteral("介绍与帮助"));
    EXPECT_EQ(window.minimumSize(), QSize(363, 396));
    EXPECT_EQ(window.maximumSize(), QSize(363, 396));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    const QList<std::pair<const char*, QString>> captions = {
        {"Label18", QStringLiteral("青岚雀-贴吧小尾巴")},
        {"Label17", QStringLiteral("软件版本：2.2.0")},
        {"Label16", QString::fromUtf8(config::kRights)},
        {"Label15", QStringLiteral("软件说明：")},
        {"Label14", QStringLiteral("  快捷键F8操作,快速方便的设置贴吧小尾巴并支持立即回复、"
                                   "最小化后台运行。纯绿色软件")},
        {"Label3", QString::fromUtf8(config::kCreditHeading)},
        {"Label6", QString::fromUtf8(config::kMakerNick)},
        {"Label9", QStringLiteral("青岚雀系列软件")},
        {"Label1", QString::fromUtf8(config::kMakerAccount)},
        {"Label22", QStringLiteral("Q Q群：        ")},
        {"Label5", QStringLiteral("贴吧：")},
        {"Label4", QStringLiteral("点击进入")},
        {"Label7", QStringLiteral("博客：")},
        {"Label8", homePageUrl().toString()},
    };
    for (const auto& [name, text] : captions) {
        if (QLabel* label = child(window, name)) {
            EXPECT_EQ(label->text(), text) << name;
        }
    }
    EXPECT_EQ(child<QLineEdit>(window, "Text1")->text(), QString::fromUtf8(config::kGroupChat));
    EXPECT_EQ(child<QPushButton>(window, "Command1")->text(), QStringLiteral("关闭"));

    // The group-chat box sits over the label's trailing spaces, in the contact panel.
    QWidget* contact = child<QWidget>(window, "Picture2");
    EXPECT_EQ(child<QLineEdit>(window, "Text1")->parentWidget(), contact);
    EXPECT_EQ(child<QLabel>(window, "Label22")->parentWidget(), contact);
    EXPECT_EQ(child<QLabel>(window, "Label18")->parentWidget(), child<QWidget>(window, "Picture1"));
}

TEST(HelpWindow, ContactPanelUsesSongFacesAndBlueLinks) {
    FakeDesktop desktop;
    HelpWindow window(desktop);

    const QList<Contact> contacts = {
        {"Label3", 12, true},    {"Label6", 12, true},    {"Label9", 12, false},
        {"Label1", 10.5, false}, {"Label22", 10.5, true}, {"Label5", 12, true},
        {"Label4", 12, true},    {"Label7", 12, true},    {"Label8", 12, true},
    };
    for (const Contact& c : contacts) {
        QLabel* label = child(window, c.name);
        if (!label)
            continue;
        const QFont font = label->font();
        ASSERT_FALSE(font.families().isEmpty());
        EXPECT_EQ(font.families().first(), QStringLiteral("宋体")) << c.name;
        EXPECT_TRUE(font.families().contains(QStringLiteral("AR PL UMing CN"))) << c.name;
        EXPECT_DOUBLE_EQ(font.pointSizeF(), c.points) << c.name;
        EXPECT_EQ(font.bold(), c.bold) << c.name;
    }
    // The about panel keeps the window's own font.
    EXPECT_EQ(child(window, "Label18")->font(), window.font());

    const QColor blue(0, 0, 255);
    for (const char* name : {"Label4", "Label8", "Label5", "Label22", "Label18"}) {
        QLabel* label = child(window, name);
        label->ensurePolished();
        const bool isLink = qstrcmp(name, "Label4") == 0 || qstrcmp(name, "Label8") == 0;
        EXPECT_EQ(label->palette().color(label->foregroundRole()) == blue, isLink) << name;
    }

    // The separator is light grey and runs down the whole panel.
    QWidget* line = child<QWidget>(window, "Line1");
    EXPECT_EQ(line->geometry(), QRect(128, 0, 1, 184));
    const QImage image = line->grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 100), QColor(192, 192, 192));
}

TEST(HelpWindow, LinksOpenTheirAddressesAndOnlyTheyShowTheLinkCursor) {
    FakeDesktop desktop;
    HelpWindow window(desktop);
    window.show();
    QApplication::processEvents();

    QTest::mouseClick(child(window, "Label4"), Qt::LeftButton);
    QTest::mouseClick(child(window, "Label8"), Qt::LeftButton);
    QTest::mouseClick(child(window, "Label8"), Qt::RightButton);
    QTest::mouseClick(child(window, "Label7"), Qt::LeftButton);
    EXPECT_EQ(desktop.calls(), (QStringList{opened(forumPageUrl()), opened(homePageUrl())}));
    EXPECT_TRUE(window.isVisible());

    for (QLabel* label : window.findChildren<QLabel*>())
        moveOver(label);
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const bool isLink = w->objectName() == QStringLiteral("Label4") ||
                            w->objectName() == QStringLiteral("Label8");
        EXPECT_EQ(w->testAttribute(Qt::WA_SetCursor) &&
                      w->cursor().shape() == Qt::PointingHandCursor,
                  isLink)
            << qPrintable(w->objectName());
    }
}

TEST(HelpWindow, OpensOnceAndComesBackFreshAfterClosing) {
    TempProgramDir dir;
    FakeDesktop desktop(dir.path(), dir.path());
    Program program(desktop, DataPaths::resolve(dir.path(), dir.path()));

    program.openHelp();
    QPointer<HelpWindow> first = program.helpWindow();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->testAttribute(Qt::WA_QuitOnClose));
    program.openHelp();
    EXPECT_EQ(program.helpWindow(), first.data());
    int open = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        open += w->objectName() == QStringLiteral("Form2") && w->isVisible();
    EXPECT_EQ(open, 1);

    // Typing into the group-chat box is forgotten once the window closes.
    auto* number = child<QLineEdit>(*first, "Text1");
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("12345"));
    EXPECT_EQ(number->text(), QStringLiteral("12345"));
    QTest::mouseClick(child<QPushButton>(*first, "Command1"), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return first.isNull(); })) << "关闭 must unload the window";

    program.openHelp();
    ASSERT_NE(program.helpWindow(), nullptr);
    EXPECT_EQ(child<QLineEdit>(*program.helpWindow(), "Text1")->text(),
              QString::fromUtf8(config::kGroupChat));
    EXPECT_TRUE(desktop.calls().isEmpty());
}
