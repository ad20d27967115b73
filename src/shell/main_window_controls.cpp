// The main window's controls at their designed places (twips) and its Tab order.
#include "insert/quick_slot.h"
#include "shell/main_window.h"
#include "shell/main_window_names.h"
#include "shell/tail_list_model.h"
#include "shell/tail_list_view.h"
#include "ui/controls.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <limits>

namespace qlq {
namespace {

namespace names = main_window_names;

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    return pressedByEnter(
        placeControl(new QPushButton(caption, parent), name, left, top, width, height));
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    return placeControl(new QCheckBox(caption, parent), name, left, top, width, height);
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
              int height) {
    return placeControl(new QLabel(text, parent), name, left, top, width, height);
}

QFont slotHeadingFont() {
    QFont font;
    font.setFamilies(
        {QStringLiteral("新宋体"), QStringLiteral("NSimSun"), QStringLiteral("AR PL UMing CN")});
    font.setPointSizeF(10.5);
    return font;
}

} // namespace

void MainWindow::createControls() {
    banner_ = label(this, names::kBanner, QString(), 0, 0, 7575, 1335);
    banner_->setPixmap(QPixmap(QStringLiteral(":/images/banner.png")));
    banner_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    banner_->setFocusPolicy(Qt::TabFocus);

    ownTailEdit_ = placeControl(new QLineEdit(this), names::kOwnTail, 120, 1440, 5175, 375);
    ownTailEdit_->setMaxLength(std::numeric_limits<int>::max()); // the file's value, whole
    ownTailEdit_->setText(QStringLiteral("[本消息由青岚雀贴吧小尾巴自动发送]"));
    editListButton_ =
        button(this, names::kEditList, QStringLiteral("编辑内容"), 5640, 1440, 1695, 735);
    randomOrderBox_ =
        checkBox(this, names::kRandomOrder, QStringLiteral("随机插入尾巴"), 120, 1920, 1455, 255);
    sendAfterInsertBox_ = checkBox(this, names::kSendAfterInsert, QStringLiteral("插入后直接回帖"),
                                   1800, 1920, 1815, 255);
    appendOwnTailBox_ = checkBox(this, names::kAppendOwnTail, QStringLiteral("带上自己的尾巴"),
                                 3720, 1920, 1575, 255);

    tailListView_ = placeControl(new TailListView(this), names::kTailList, 120, 2280, 7215, 5640);
    tailListModel_ = new TailListModel(this);
    tailListView_->setModel(tailListModel_);
    tailListView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tailListView_->setSelectionMode(QAbstractItemView::SingleSelection);
    tailListView_->setUniformItemSizes(true); // 100 000 rows lay out at once

    galleryButton_ =
        button(this, names::kGallery, QStringLiteral("签名大全"), 120, 8160, 1335, 495);
    helpButton_ = button(this, names::kHelp, QStringLiteral("使用说明"), 2120, 8160, 1335, 495);
    homePageButton_ =
        button(this, names::kHomePage, QStringLiteral("作者主页"), 4120, 8160, 1335, 495);
    backgroundButton_ =
        button(this, names::kBackground, QStringLiteral("后台运行"), 6120, 8160, 1215, 495);

    describeVisibleControls();

    // Outside the client area: never seen, but part of the window and of the Tab order.
    composedTextBox_ =
        placeControl(new QLineEdit(this), names::kComposedText, 8040, 2400, 5295, 1095);
    composedTextBox_->setText(QStringLiteral("Text4"));
    label(this, names::kUnusedLabel4, QStringLiteral("Label4"), 7800, 4320, 1095, 615);
    label(this, names::kUnusedLabel5, QStringLiteral("Label5"), 7800, 4920, 1335, 855);
    showRandomSwitchButton_ =
        button(this, names::kShowRandomSwitch, QStringLiteral("Command11"), 8640, 600, 615, 375);
    drawNumberButton_ =
        button(this, names::kDrawNumber, QStringLiteral("Command14"), 10920, 720, 975, 735);
    button(this, names::kUnusedButton12, QStringLiteral("Command12"), 10920, 8520, 615, 375)
        ->setVisible(false);
    button(this, names::kUnusedButton13, QStringLiteral("Command13"), 11040, 10800, 735, 255)
        ->setVisible(false);
    unusedSendBox_ = checkBox(this, names::kUnusedSendBox, QStringLiteral("插入后直接回帖"), 13920,
                              10800, 1935, 255);
    createQuickSlots();

    // Never enabled by anything; kept so the window holds every control it was designed with.
    auto* unusedTimer = new QTimer(this);
    unusedTimer->setObjectName(QString::fromLatin1(names::kUnusedTimer));
    unusedTimer->setInterval(1000);
}

void MainWindow::describeVisibleControls() {
    describeControl(banner_, QStringLiteral("青岚雀贴吧小尾巴"), QStringLiteral("横幅图片"));
    describeControl(ownTailEdit_, QStringLiteral("自己的尾巴"),
                    QStringLiteral("勾选“带上自己的尾巴”时，附在每条小尾巴后面的一行"));
    describeControl(editListButton_, QStringLiteral("编辑内容"),
                    QStringLiteral("打开小尾巴列表的编辑窗口"));
    describeControl(randomOrderBox_, QStringLiteral("随机插入尾巴"),
                    QStringLiteral("按 F8 时随机取一条小尾巴，不按列表顺序"));
    describeControl(sendAfterInsertBox_, QStringLiteral("插入后直接回帖"),
                    QStringLiteral("粘贴小尾巴后按 Ctrl+Enter 发送回复"));
    describeControl(appendOwnTailBox_, QStringLiteral("带上自己的尾巴"),
                    QStringLiteral("在小尾巴后面附上自己的尾巴"));
    describeControl(tailListView_, QStringLiteral("小尾巴列表"),
                    QStringLiteral("按 F8 时插入的小尾巴；点击一行，按顺序插入时从这一行接着插入"));
    describeControl(galleryButton_, QStringLiteral("签名大全"), QStringLiteral("打开个性签名大全"));
    describeControl(helpButton_, QStringLiteral("使用说明"), QStringLiteral("打开介绍与帮助窗口"));
    describeControl(homePageButton_, QStringLiteral("作者主页"),
                    QStringLiteral("在浏览器中打开作者主页"));
    describeControl(backgroundButton_, QStringLiteral("后台运行"),
                    QStringLiteral("把窗口收到通知区域，F8 照常可用"));
}

void MainWindow::createQuickSlots() {
    struct Place {
        const char* heading;
        int headingTop, headingWidth, textTop, lockLeft, lockTop, pasteTop;
    };
    static constexpr Place kPlaces[3] = {
        {"①号小尾巴：F8", 6360, 1470, 6720, 8280, 120, 6360},
        {"②号小尾巴：F9", 8640, 1470, 9000, 9600, 240, 8640},
        {"③号小尾巴：F10", 10800, 1575, 11160, 10560, 240, 10800},
    };
    for (std::size_t i = 0; i < quickSlots_.size(); ++i) {
        const Place& place = kPlaces[i];
        const main_window_names::QuickSlotNames& name = main_window_names::kQuickSlots[i];
        QuickSlot& slot = quickSlots_[i];
        slot.heading = label(this, name.heading, QString::fromUtf8(place.heading), 8880,
                             place.headingTop, place.headingWidth, 210);
        slot.heading->setFont(slotHeadingFont());
        slot.heading->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
        slot.text =
            placeControl(new QPlainTextEdit(this), name.text, 8880, place.textTop, 6735, 1695);
        slot.text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        slot.text->setTabChangesFocus(true);
        slot.lockButton =
            button(this, name.lock, kUnlockCaption, place.lockLeft, place.lockTop, 1095, 255);
        slot.pasteButton =
            button(this, name.paste, QStringLiteral("粘贴入内"), 12840, place.pasteTop, 855, 255);
    }
    quickSlots_[0].text->setPlainText(QStringLiteral("22222222222\r\n"));
}

void MainWindow::setFocusOrder() {
    const QuickSlot& s1 = quickSlots_[0];
    const QuickSlot& s2 = quickSlots_[1];
    const QuickSlot& s3 = quickSlots_[2];
    const QList<QWidget*> order = {homePageButton_,
                                   galleryButton_,
                                   helpButton_,
                                   banner_,
                                   s3.lockButton,
                                   s1.lockButton,
                                   s1.text,
                                   s2.text,
                                   s3.text,
                                   s2.lockButton,
                                   sendAfterInsertBox_,
                                   appendOwnTailBox_,
                                   unusedSendBox_,
                                   backgroundButton_,
                                   s1.pasteButton,
                                   s2.pasteButton,
                                   s3.pasteButton,
                                   showRandomSwitchButton_,
                                   drawNumberButton_,
                                   randomOrderBox_,
                                   tailListView_,
                                   composedTextBox_,
                                   editListButton_,
                                   ownTailEdit_};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    QWidget::setTabOrder(order.last(), order.first());
    for (QWidget* w : order) {
        if (w->focusPolicy() == Qt::NoFocus)
            w->setFocusPolicy(Qt::StrongFocus);
    }
}

} // namespace qlq
