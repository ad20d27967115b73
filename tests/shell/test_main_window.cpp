#include "config/web_addresses.h"
#include "shell/main_window_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace qlq;
using namespace Qt::StringLiterals;

namespace {

struct MainWindowTest : MainWindowFixture {
    void open(const QByteArray& tails = "\xBC\xD7\r\n\xD2\xD2\r\n\xB1\xFB\r\n") { // 甲乙丙, GBK
        dir.write(QStringLiteral("qinglanque.ini"), tails);
        start();
    }
    QString tab() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
};

QByteArray numberedLines(int count) {
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += QByteArray::number(i) + "\r\n";
    return lines;
}

} // namespace

TEST_F(MainWindowTest, F8PastesTheNextTailAndListClickAndRandomBoxSteerTheOrder) {
    open();
    window->show();
    EXPECT_EQ(pressF8(), lead("甲"));
    EXPECT_EQ(desktop.calls(), QStringList({"clipboard:" + lead("甲"), "paste"}));
    child<QCheckBox>("Check1")->setChecked(true);
    child<QCheckBox>("Check2")->setChecked(true);
    child<QLineEdit>("Text5")->setText(QStringLiteral("我的尾巴"));
    EXPECT_EQ(pressF8(), lead(lead("乙\r\n我的尾巴")));
    EXPECT_EQ(desktop.calls().mid(1), QStringList({"paste", "submit"}));
    child<QCheckBox>("Check1")->setChecked(false);
    child<QCheckBox>("Check2")->setChecked(false);

    auto* list = child<QListView>("List1");
    const QRect row2 = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row2.center());
    EXPECT_EQ(pressF8(), lead("丙"));
    EXPECT_EQ(pressF8(), lead("甲"));
    // Ticking random order leaves the position, unticking restarts at row 0.
    auto* random = child<QCheckBox>("Check4");
    QTest::mouseClick(random, Qt::LeftButton);
    ASSERT_TRUE(random->isChecked());
    QTest::mouseClick(random, Qt::LeftButton);
    EXPECT_EQ(pressF8(), lead("甲"));
}

TEST_F(MainWindowTest, MissingFileGivesAnEmptyListAndHundredThousandTailsLoadWhole) {
    start();
    EXPECT_TRUE(window->tails().isEmpty());
    EXPECT_EQ(pressF8(), lead(QString()));

    open(numberedLines(100000));
    EXPECT_EQ(window->tails().size(), 100000);
    EXPECT_EQ(window->tails().last(), QStringLiteral("99999"));

    QFile::remove(dir.file(QStringLiteral("qinglanque.ini")));
    QDir().mkpath(dir.file(QStringLiteral("qinglanque.ini"))); // a directory in its place
    window->reloadTailList();
    EXPECT_TRUE(window->tails().isEmpty());
}

TEST_F(MainWindowTest, HiddenButtonsShowTheRandomSwitchAndADraw) {
    open();
    child<QPushButton>("Command11")->click();
    child<QCheckBox>("Check4")->setChecked(true);
    child<QPushButton>("Command11")->click();
    EXPECT_EQ(desktop.calls(),
              QStringList({"message:青岚雀贴吧小尾巴|0", "message:青岚雀贴吧小尾巴|1"}));
    desktop.clearCalls();
    for (int i = 0; i < 30; ++i)
        child<QPushButton>("Command14")->click();
    for (const QString& call : desktop.calls())
        EXPECT_TRUE(call.contains(QRegularExpression(u"^message:青岚雀贴吧小尾巴\\|[123]$"_s)))
            << call.toStdString();
}

TEST_F(MainWindowTest, Command14AdvancesTheSharedRandomSource) {
    dir.write(QStringLiteral("qinglanque.ini"), numberedLines(40));
    auto draws = [&](bool clickCommand14) {
        random = NextRandom();
        start();
        child<QCheckBox>("Check4")->setChecked(true);
        if (clickCommand14)
            child<QPushButton>("Command14")->click();
        QStringList got;
        for (int i = 0; i < 8; ++i)
            got << pressF8();
        return got;
    };
    EXPECT_EQ(draws(false), draws(false));
    EXPECT_NE(draws(false), draws(true));
}

TEST_F(MainWindowTest, TabWalksAllStopsInOrderSkippingALockedSlot) {
    start();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const QStringList order = {"Command1", "Command2",  "Command4",  "Picture1",  "Command7",
                               "Command5", "Text1",     "Text2",     "Text3",     "Command6",
                               "Check1",   "Check2",    "Check3",    "Command3",  "Command8",
                               "Command9", "Command10", "Command11", "Command14", "Check4",
                               "List1",    "Text4",     "Command15", "Text5",     "Command1"};
    QStringList walked{QApplication::focusWidget()->objectName()};
    while (walked.size() < order.size())
        walked << tab();
    EXPECT_EQ(walked, order);

    child<QPushButton>("Command6")->click(); // start -> unlocked
    child<QPushButton>("Command6")->click(); // unlocked -> locked
    child("Command5")->setFocus();
    EXPECT_EQ(tab(), QStringLiteral("Text1"));
    EXPECT_EQ(tab(), QStringLiteral("Text3"));
}

TEST_F(MainWindowTest, GeometryAndCaptionsAreExactAndTheHomePageOpens) {
    start();
    EXPECT_EQ(window->size(), QSize(501, 584));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(child("Picture1")->geometry(), QRect(0, 0, 505, 89));
    EXPECT_EQ(child("List1")->geometry(), QRect(8, 152, 481, 376));
    EXPECT_EQ(child("Check3")->geometry(), QRect(928, 720, 129, 17));
    // Controls outside the client area exist but cannot be seen.
    for (const char* name : {"Text4", "Command11", "Command14", "Text1", "Command5", "Check3"})
        EXPECT_GE(child(name)->geometry().left(), 501) << name;
    EXPECT_FALSE(child("Command12")->isVisibleTo(window.get()));

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
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("青岚雀贴吧小尾巴v2.2版        ")));

    child<QPushButton>("Command1")->click();
    EXPECT_EQ(desktop.calls(), QStringList{"open:" + homePageUrl().toString(QUrl::FullyEncoded)});
}

TEST_F(MainWindowTest, QuickSlotsToggleAndPasteEachIntoItsOwnSlot) {
    start();
    auto* text1 = child<QPlainTextEdit>("Text1");
    auto* text2 = child<QPlainTextEdit>("Text2");
    auto* text3 = child<QPlainTextEdit>("Text3");
    auto* lock2 = child<QPushButton>("Command6");
    EXPECT_EQ(text1->toPlainText(), QStringLiteral("22222222222\n"));

    // Start: editable although the caption reads "开锁"; the first click only renames.
    EXPECT_TRUE(text2->isEnabled());
    lock2->click();
    EXPECT_EQ(lock2->text(), QStringLiteral("锁住"));
    EXPECT_TRUE(text2->isEnabled() && !text2->isReadOnly());
    lock2->click();
    EXPECT_EQ(lock2->text(), QStringLiteral("开锁"));
    EXPECT_TRUE(!text2->isEnabled() && text2->isReadOnly());
    EXPECT_TRUE(text1->isEnabled() && text3->isEnabled());

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
