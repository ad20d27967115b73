#include "windows/help_window.h"

#include "config/web_addresses.h"
#include "support/program_fixture.h"
#include "ui/window_placement.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <cstdlib>

using namespace qlq;

TEST(HelpWindow, OnlyTheTwoLinksOpenAddressesAndShowTheLinkCursor) {
    FakeDesktop desktop;
    HelpWindow window(desktop);
    window.show();
    QApplication::processEvents();
    QTest::mouseClick(child(window, "Label4"), Qt::LeftButton);
    QTest::mouseClick(child(window, "Label8"), Qt::LeftButton);
    QTest::mouseClick(child(window, "Label8"), Qt::RightButton);
    QTest::mouseClick(child(window, "Label7"), Qt::LeftButton);
    const auto opened = [](const QUrl& url) { return "open:" + url.toString(QUrl::FullyEncoded); };
    EXPECT_EQ(desktop.calls(), (QStringList{opened(forumPageUrl()), opened(homePageUrl())}));
    EXPECT_TRUE(window.isVisible());

    for (QLabel* label : window.findChildren<QLabel*>()) { // the mouse over every label
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), label->mapToGlobal(QPointF(3, 3)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label, &move);
        const bool link = label->objectName() == "Label4" || label->objectName() == "Label8";
        EXPECT_EQ(label->testAttribute(Qt::WA_SetCursor) &&
                      label->cursor().shape() == Qt::PointingHandCursor,
                  link)
            << qPrintable(label->objectName());
    }
}

using HelpWindowTest = ProgramFixture;

TEST_F(HelpWindowTest, OpensOnceAndAfresh) {
    program = std::make_unique<Program>(desktop, DataPaths(dir.path()));
    program->openHelp();
    program->openHelp();
    QPointer<HelpWindow> first = program->helpWindow();
    ASSERT_TRUE(first);
    int open = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        open += w->objectName() == QStringLiteral("Form2") && w->isVisible();
    EXPECT_EQ(open, 1);

    QTest::mouseClick(child<QPushButton>(*first, "Command1"), Qt::LeftButton); // 关闭 unloads it
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.isNull(); }, 10000));
    program->openHelp();
    EXPECT_NE(program->helpWindow(), nullptr);
    EXPECT_TRUE(desktop.calls().isEmpty());
}

TEST(HelpWindow, LinksTakeThePalettesColourAndATallWindowKeepsItsTitleBarOnScreen) {
    FakeDesktop desktop;
    HelpWindow window(desktop);
    QPalette dark = window.palette(); // a dark theme's
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Link, QColor(120, 200, 255));
    window.setPalette(dark);
    const QImage link = child(window, "Label8")->grab().toImage();
    int linkColoured = 0, pureBlue = 0;
    for (int y = 0; y < link.height(); ++y) {
        for (int x = 0; x < link.width(); ++x) {
            const QColor c = link.pixelColor(x, y);
            linkColoured += std::abs(c.red() - 120) + std::abs(c.green() - 200) < 12;
            pureBlue += c.red() < 40 && c.green() < 40 && c.blue() > 200;
        }
    }
    EXPECT_GT(linkColoured, 0);
    EXPECT_EQ(pureBlue, 0);

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget tall; // QT_SCALE_FACTOR=2 on 1280 x 800: the window is taller than the screen
    tall.resize(area.width() / 2, area.height() + 300);
    centreOnScreen(tall);
    const QRect frame = tall.frameGeometry();
    EXPECT_GE(frame.top(), area.top());
    EXPECT_LE(std::abs(frame.center().x() - area.center().x()), 1);
}
