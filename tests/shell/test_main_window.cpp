#include "insert/next_random.h"
#include "platform/fake/fake_desktop.h"
#include "shell/main_window.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

// "甲" CR LF "乙" CR LF "丙" CR LF, in GBK.
const QByteArray kThreeTails("\xBC\xD7\r\n\xD2\xD2\r\n\xB1\xFB\r\n");

struct MainWindowTest : ::testing::Test {
    TempProgramDir dir;
    FakeDesktop desktop;
    NextRandom random;
    std::unique_ptr<MainWindow> window;

    void open(const QByteArray& tails = kThreeTails) {
        dir.write(QStringLiteral("qinglanque.ini"), tails);
        window = std::make_unique<MainWindow>(desktop, DataPaths(dir.path()), random);
        window->load();
    }
    template <typename T> T* child(const char* name) {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString pressF8() {
        desktop.clearCalls();
        desktop.pressF8();
        window->engine().tick();
        return desktop.clipboard();
    }
    static QString lead(const QString& tail) { return QStringLiteral("\u3000\r\n") + tail; }
};

} // namespace

TEST_F(MainWindowTest, F8PastesTheNextTailFromTheFile) {
    open();
    EXPECT_EQ(pressF8(), lead("甲"));
    EXPECT_EQ(desktop.calls(), QStringList({"clipboard:" + lead("甲"), "paste"}));
    EXPECT_EQ(pressF8(), lead("乙"));
    child<QCheckBox>("Check1")->setChecked(true);
    child<QCheckBox>("Check2")->setChecked(true);
    child<QLineEdit>("Text5")->setText(QStringLiteral("我的尾巴"));
    EXPECT_EQ(pressF8(), QStringLiteral("\u3000\r\n\u3000\r\n丙\r\n我的尾巴"));
    EXPECT_EQ(desktop.calls().mid(1), QStringList({"paste", "submit"}));
    EXPECT_EQ(pressF8(), QStringLiteral("\u3000\r\n\u3000\r\n甲\r\n我的尾巴"));
}

TEST_F(MainWindowTest, ListClickAndRandomBoxSteerListOrder) {
    open();
    window->show();
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

TEST_F(MainWindowTest, MissingOrUnreadableTailFileGivesAnEmptyList) {
    window = std::make_unique<MainWindow>(desktop, DataPaths(dir.path()), random);
    window->load();
    EXPECT_TRUE(window->tails().isEmpty());
    EXPECT_EQ(pressF8(), lead(QString()));

    QDir().mkpath(dir.file(QStringLiteral("qinglanque.ini"))); // a directory in its place
    window->reloadTailList();
    EXPECT_TRUE(window->tails().isEmpty());
}

TEST_F(MainWindowTest, HundredThousandTailsLoadWhole) {
    QByteArray big;
    for (int i = 0; i < 100000; ++i)
        big += QByteArray::number(i) + "\r\n";
    open(big);
    EXPECT_EQ(window->tails().size(), 100000);
    EXPECT_EQ(window->tails().last(), QStringLiteral("99999"));
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
        EXPECT_TRUE(QStringList({"message:青岚雀贴吧小尾巴|1", "message:青岚雀贴吧小尾巴|2",
                                 "message:青岚雀贴吧小尾巴|3"})
                        .contains(call))
            << call.toStdString();
}

TEST_F(MainWindowTest, CommandDrawAdvancesTheSharedRandomSource) {
    // Two runs with the same presses draw the same rows; a Command14 click in between changes
    // which rows the later presses take.
    auto draws = [&](bool clickCommand14) {
        NextRandom fresh;
        FakeDesktop d;
        MainWindow w(d, DataPaths(dir.path()), fresh);
        w.load();
        w.findChild<QCheckBox*>(QStringLiteral("Check4"))->setChecked(true);
        if (clickCommand14)
            w.findChild<QPushButton*>(QStringLiteral("Command14"))->click();
        QStringList got;
        for (int i = 0; i < 8; ++i) {
            d.pressF8();
            w.engine().tick();
            got << d.clipboard();
        }
        return got;
    };
    QByteArray many;
    for (int i = 0; i < 40; ++i)
        many += QByteArray::number(i) + "\r\n";
    dir.write(QStringLiteral("qinglanque.ini"), many);
    EXPECT_EQ(draws(false), draws(false));
    EXPECT_NE(draws(false), draws(true));
}
