#include "insert/next_random.h"
#include "platform/fake/fake_desktop.h"
#include "shell/main_window.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

struct LayoutTest : ::testing::Test {
    TempProgramDir dir;
    FakeDesktop desktop;
    NextRandom random;
    MainWindow window{desktop, DataPaths(dir.path()), random};

    template <typename T = QWidget> T* child(const QString& name) {
        T* w = window.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    void showActive() {
        window.load();
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QString tab() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
};

const QStringList kFocusOrder = {"Command1", "Command2",  "Command4",  "Picture1",  "Command7",
                                 "Command5", "Text1",     "Text2",     "Text3",     "Command6",
                                 "Check1",   "Check2",    "Check3",    "Command3",  "Command8",
                                 "Command9", "Command10", "Command11", "Command14", "Check4",
                                 "List1",    "Text4",     "Command15", "Text5"};

} // namespace

TEST_F(LayoutTest, TabWalksAllStopsInOrderAndComesBack) {
    showActive();
    ASSERT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));
    QStringList walked{QStringLiteral("Command1")};
    for (int i = 0; i < kFocusOrder.size(); ++i)
        walked << tab();
    EXPECT_EQ(walked, kFocusOrder + QStringList{"Command1"});
}

TEST_F(LayoutTest, LockedQuickSlotIsSkipped) {
    showActive();
    child<QPushButton>("Command6")->click(); // start -> unlocked
    child<QPushButton>("Command6")->click(); // unlocked -> locked
    child("Command5")->setFocus();
    EXPECT_EQ(tab(), QStringLiteral("Text1"));
    EXPECT_EQ(tab(), QStringLiteral("Text3")); // Text2 is locked and disabled
}

TEST_F(LayoutTest, ClientAreaAndControlsSitAtTheirDesignedPlaces) {
    EXPECT_EQ(window.size(), QSize(501, 584));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(child("Picture1")->geometry(), QRect(0, 0, 505, 89));
    EXPECT_EQ(child("Text5")->geometry(), QRect(8, 96, 345, 25));
    EXPECT_EQ(child("Command15")->geometry(), QRect(376, 96, 113, 49));
    EXPECT_EQ(child("List1")->geometry(), QRect(8, 152, 481, 376));
    EXPECT_EQ(child("Command3")->geometry(), QRect(408, 544, 81, 33));
    EXPECT_EQ(child("Text1")->geometry(), QRect(592, 448, 449, 113));
    EXPECT_EQ(child("Check3")->geometry(), QRect(928, 720, 129, 17));
    // Controls outside the client area exist but cannot be seen.
    for (const char* name : {"Text4", "Command11", "Command14", "Text1", "Command5", "Check3"})
        EXPECT_GE(child(name)->geometry().left(), 501) << name;
    EXPECT_FALSE(child("Command12")->isVisibleTo(&window));
    EXPECT_FALSE(child("Command13")->isVisibleTo(&window));
}

TEST_F(LayoutTest, CaptionsAreExact) {
    const QList<std::pair<const char*, QString>> captions = {
        {"Command1", "作者主页"},     {"Command2", "签名大全"},     {"Command3", "后台运行"},
        {"Command4", "使用说明"},     {"Command5", "开锁"},         {"Command6", "开锁"},
        {"Command7", "开锁"},         {"Command8", "粘贴入内"},     {"Command9", "粘贴入内"},
        {"Command10", "粘贴入内"},    {"Command11", "Command11"},   {"Command12", "Command12"},
        {"Command13", "Command13"},   {"Command14", "Command14"},   {"Command15", "编辑内容"},
        {"Check1", "插入后直接回帖"}, {"Check2", "带上自己的尾巴"}, {"Check3", "插入后直接回帖"},
        {"Check4", "随机插入尾巴"}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(child<QAbstractButton>(name)->text(), caption) << name;
    EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("①号小尾巴：F8"));
    EXPECT_EQ(child<QLabel>("Label3")->text(), QStringLiteral("③号小尾巴：F10"));
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("青岚雀贴吧小尾巴v2.2版        ")));
    EXPECT_EQ(child<QPlainTextEdit>("Text1")->toPlainText(), QStringLiteral("22222222222\n"));
}

TEST_F(LayoutTest, HomePageButtonOpensTheAddress) {
    child<QPushButton>("Command1")->click();
    ASSERT_EQ(desktop.calls().size(), 1);
    EXPECT_TRUE(desktop.calls().first().startsWith(QStringLiteral("open:http")));
}

TEST_F(LayoutTest, QuickSlotsToggleAndPasteEachOnItsOwnSlot) {
    auto* text1 = child<QPlainTextEdit>("Text1");
    auto* text2 = child<QPlainTextEdit>("Text2");
    auto* text3 = child<QPlainTextEdit>("Text3");
    auto* lock2 = child<QPushButton>("Command6");

    // Start: editable although the caption reads "开锁"; first click only renames.
    EXPECT_TRUE(text2->isEnabled());
    lock2->click();
    EXPECT_EQ(lock2->text(), QStringLiteral("锁住"));
    EXPECT_TRUE(text2->isEnabled());
    EXPECT_FALSE(text2->isReadOnly());
    lock2->click();
    EXPECT_EQ(lock2->text(), QStringLiteral("开锁"));
    EXPECT_FALSE(text2->isEnabled());
    EXPECT_TRUE(text2->isReadOnly());
    EXPECT_TRUE(text1->isEnabled());
    EXPECT_TRUE(text3->isEnabled());

    // Paste fills a locked slot too and replaces everything in it.
    text2->setPlainText(QStringLiteral("old"));
    desktop.setClipboardReadResult(QStringLiteral("剪贴板\n第二行"));
    child<QPushButton>("Command9")->click();
    EXPECT_EQ(text2->toPlainText(), QStringLiteral("剪贴板\n第二行"));
    EXPECT_EQ(text1->toPlainText(), QStringLiteral("22222222222\n"));
    EXPECT_TRUE(text3->toPlainText().isEmpty());

    // No text, or a read that failed or timed out: the slot is left empty.
    desktop.setClipboardReadResult(QString());
    child<QPushButton>("Command8")->click();
    EXPECT_TRUE(text1->toPlainText().isEmpty());
    text3->setPlainText(QStringLiteral("x"));
    desktop.setClipboardReadResult(std::nullopt);
    child<QPushButton>("Command10")->click();
    EXPECT_TRUE(text3->toPlainText().isEmpty());
    EXPECT_EQ(text2->toPlainText(), QStringLiteral("剪贴板\n第二行"));
}
