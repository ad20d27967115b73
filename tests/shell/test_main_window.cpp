#include "config/web_addresses.h"
#include "insert/next_random.h"
#include "shell/main_window_controls.h"
#include "support/program_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace qlq;
namespace names = main_window_names;

namespace {

const QByteArray kTails = "\xBC\xD7\r\n\xD2\xD2\r\n\xB1\xFB\r\n"; // 甲乙丙, GBK

struct MainWindowTest : ProgramFixture {
    void clickRow(int row) {
        auto* list = control<QListView>(names::kTailList);
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    QString tab() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
};

} // namespace

TEST_F(MainWindowTest, EveryControlStandsAsDesignedAndTabVisitsThemInTheirOrder) {
    using enum ControlKind;
    NextRandom random;
    MainWindow window(desktop, DataPaths(dir.path()), random); // not loaded
    window.show();
    QApplication::setActiveWindow(&window);
    // The class each kind makes.
    static constexpr const char* kClasses[] = {"QLabel",    "QLabel",         "QLabel",
                                               "QLineEdit", "QPlainTextEdit", "QPushButton",
                                               "QCheckBox", "QListView"};
    QMap<int, QString> tabStops;
    for (const ControlDesign& design : main_window_controls::kControls) {
        SCOPED_TRACE(design.name);
        QWidget* control = window.findChild<QWidget*>(design.name, Qt::FindDirectChildrenOnly);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->inherits(kClasses[static_cast<int>(design.kind)]));
        EXPECT_EQ(control->geometry(), twipsRect(design.twips));
        EXPECT_EQ(control->isVisible(), !design.hidden);
        const QVariant text = control->property(design.kind == TextArea ? "plainText" : "text");
        if (design.kind != Picture) { // a picture's caption is its resource
            EXPECT_EQ(text.toString(), QString::fromUtf8(design.caption).replace("\r\n", "\n"));
        }
        EXPECT_EQ(control->accessibleName(), QString::fromUtf8(design.accessibleName));
        EXPECT_EQ(control->accessibleDescription(),
                  QString::fromUtf8(design.accessibleDescription));
        if (design.kind == Heading) {
            EXPECT_TRUE(control->font().pointSizeF() == 10.5 &&
                        control->palette().color(QPalette::WindowText) == Qt::red);
        }
        if (design.tabStop != kNoTabStop)
            tabStops[design.tabStop] = QString::fromLatin1(design.name);
    }
    const QStringList order = tabStops.values();
    child(window, qPrintable(order.first()))->setFocus();
    QStringList visited;
    for (qsizetype i = 0; i < order.size(); ++i)
        visited << tab();
    EXPECT_EQ(visited, order.mid(1) << order.first()); // the last leads back to the first
}

TEST_F(MainWindowTest, AnEmptyListShowsAHintNotARow) {
    start(); // no tail list yet
    auto* list = control<QListView>(names::kTailList);
    EXPECT_EQ(list->model()->rowCount(), 0); // a hint, not a row: F8 finds nothing
    const QImage shown = list->viewport()->grab().toImage();
    QImage blank(shown.size(), shown.format());
    blank.fill(shown.pixelColor(0, 0));
    EXPECT_NE(shown, blank) << "the empty list shows nothing";
}

TEST_F(MainWindowTest, OnlyASelectionOrUntickingRandomOrderChoosesTheNextRow) {
    start(kTails);
    pressF8();
    pressF8();
    auto* list = control<QListView>(names::kTailList);
    QApplication::setActiveWindow(mainWindow());
    list->setFocus(Qt::TabFocusReason); // tabbed into: no row chosen
    EXPECT_EQ(pressF8(), lead("丙"));
    QTest::keyClick(list, Qt::Key_Down); // the first Down selects row 0
    EXPECT_EQ(pressF8(), lead("甲"));
    clickRow(1);
    EXPECT_EQ(pressF8(), lead("乙"));
    auto* random = control<QCheckBox>(names::kRandomOrder); // unticked, it starts the list again
    QTest::mouseClick(random, Qt::LeftButton);
    ASSERT_TRUE(random->isChecked());
    QTest::mouseClick(random, Qt::LeftButton);
    EXPECT_EQ(pressF8(), lead("甲"));
}

TEST_F(MainWindowTest, AHugeTailIsPastedWholeButDrawnOnlyInPart) {
    start(QByteArray(3'000'000, 'x') + "\r\n");
    EXPECT_EQ(pressF8(), lead(QString(3'000'000, u'x')));
    const QAbstractItemModel* rows = control<QListView>(names::kTailList)->model();
    EXPECT_LE(rows->data(rows->index(0, 0)).toString().size(), 1000);
    EXPECT_LE(control<QLineEdit>(names::kComposedText)->text().size(), 1000);
}

TEST_F(MainWindowTest, EditButtonLosingTheFocusToTheProgramReloadsTheList) {
    start(kTails);
    auto* edit = control<QPushButton>(names::kEditList);
    QApplication::setActiveWindow(mainWindow());
    edit->setFocus();
    dir.write(QStringLiteral("qinglanque.ini"), "new 0\r\nnew 1\r\n");

    // Switching to another application is no LostFocus: no reload, the order goes on.
    QApplication::setActiveWindow(nullptr);
    EXPECT_EQ(pressF8(), lead("甲"));
    QApplication::setActiveWindow(mainWindow());
    ASSERT_EQ(QApplication::focusWidget(), edit);

    // Another control of the program: the list is read again, the next press takes row 1.
    control(names::kOwnTail)->setFocus();
    EXPECT_EQ(mainWindow()->tails(), QStringList({"new 0", "new 1"}));
    EXPECT_EQ(pressF8(), lead("new 1"));
}

TEST_F(MainWindowTest, EnterPressesTheFocusedButtonAndQuickSlotsToggleAndPasteIntoTheirOwn) {
    start();
    QApplication::setActiveWindow(mainWindow());
    ASSERT_EQ(QApplication::focusWidget(), control(names::kHomePage));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(desktop.calls(), QStringList{"open:" + homePageUrl().toString(QUrl::FullyEncoded)});
    control(names::kOwnTail)->setFocus(); // no button is the window's default
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(desktop.calls().size(), 1);

    const auto& slot = names::kQuickSlots;
    auto* text1 = control<QPlainTextEdit>(slot[0].text);
    auto* text2 = control<QPlainTextEdit>(slot[1].text);
    auto* text3 = control<QPlainTextEdit>(slot[2].text);
    auto* lock2 = control<QPushButton>(slot[1].lock);

    // Start: editable although the caption reads "开锁"; the first click only renames.
    lock2->click();
    EXPECT_TRUE(text2->isEnabled() && !text2->isReadOnly());
    lock2->click();
    EXPECT_TRUE(!text2->isEnabled() && text2->isReadOnly());
    EXPECT_TRUE(text1->isEnabled() && text3->isEnabled());
    control(slot[0].lock)->setFocus(); // Tab leaves a slot and passes the locked one
    EXPECT_EQ(tab(), slot[0].text);
    EXPECT_EQ(tab(), slot[2].text);

    // Paste fills a locked slot too and replaces everything in it.
    text2->setPlainText(QStringLiteral("old"));
    desktop.setClipboardReadResult(QStringLiteral("剪贴板\n第二行"));
    control<QPushButton>(slot[1].paste)->click();
    EXPECT_EQ(text2->toPlainText(), QStringLiteral("剪贴板\n第二行"));
    EXPECT_EQ(text1->toPlainText(), QStringLiteral("22222222222\n"));
    EXPECT_TRUE(text3->toPlainText().isEmpty());

    // A read that failed or timed out leaves the slot empty.
    desktop.setClipboardReadResult(std::nullopt);
    control<QPushButton>(slot[0].paste)->click();
    EXPECT_TRUE(text1->toPlainText().isEmpty());

    // Two presses before the clipboard answers: the last one fills the slot, once.
    desktop.setClipboardReadsWait(true);
    desktop.setClipboardReadResult(QStringLiteral("一次"));
    control<QPushButton>(slot[2].paste)->click();
    control<QPushButton>(slot[2].paste)->click();
    desktop.answerClipboardReads();
    EXPECT_EQ(text3->toPlainText(), QStringLiteral("一次"));
}
