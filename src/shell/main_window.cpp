#include "shell/main_window.h"

#include "config/build_config.h"
#include "config/web_addresses.h"
#include "data/duxie.h"
#include "data/settings_store.h"
#include "data/tail_list_file.h"
#include "insert/quick_slot.h"
#include "platform/desktop_services.h"
#include "platform/twips.h"
#include "shell/skin_engine.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStringListModel>
#include <QTimer>

namespace qlq {
namespace {

const QString kProgramTitle = QStringLiteral("青岚雀贴吧小尾巴");
const QString kDefaultOwnTail = QStringLiteral("[本消息由青岚雀贴吧小尾巴自动发送]");

template <typename W>
W* place(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    auto* b = place<QPushButton>(parent, name, left, top, width, height);
    b->setText(caption);
    b->setAutoDefault(false);
    return b;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    auto* c = place<QCheckBox>(parent, name, left, top, width, height);
    c->setText(caption);
    return c;
}

QPlainTextEdit* quickSlot(QWidget* parent, const char* name, int top, const QString& text) {
    auto* t = place<QPlainTextEdit>(parent, name, 8880, top, 6735, 1695);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    t->setTabChangesFocus(true);
    t->setPlainText(text);
    return t;
}

QLabel* slotHeading(QWidget* parent, const char* name, const QString& text, int top, int width) {
    auto* l = place<QLabel>(parent, name, 8880, top, width, 210);
    l->setText(text);
    QFont font;
    font.setFamilies(
        {QStringLiteral("新宋体"), QStringLiteral("NSimSun"), QStringLiteral("AR PL UMing CN")});
    font.setPointSizeF(10.5);
    l->setFont(font);
    l->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    return l;
}

} // namespace

MainWindow::MainWindow(DesktopServices& desktop, DataPaths paths, NextRandom& random,
                       QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      desktop_(desktop), paths_(std::move(paths)), random_(random) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("青岚雀贴吧小尾巴v2.2版        ") +
                   QString::fromUtf8(config::kCredit));
    setFixedSize(kClientWidth, kClientHeight);
    createControls();
    setFocusOrder();
    connectHandlers();
    engine_ = std::make_unique<InsertionEngine>(desktop_, static_cast<InsertionControls&>(*this),
                                                random_);
}

MainWindow::~MainWindow() {
    // QWidget's destructor closes the window and moves the focus, which emits focusChanged
    // when this window's members are already gone.
    disconnect(focusConnection_);
}

void MainWindow::createControls() {
    Picture1 = place<QLabel>(this, "Picture1", 0, 0, 7575, 1335);
    Picture1->setPixmap(QPixmap(QStringLiteral(":/images/banner.png")));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setFocusPolicy(Qt::TabFocus);

    Text5 = place<QLineEdit>(this, "Text5", 120, 1440, 5175, 375);
    Text5->setText(kDefaultOwnTail);
    Command15 = button(this, "Command15", QStringLiteral("编辑内容"), 5640, 1440, 1695, 735);
    Check4 = checkBox(this, "Check4", QStringLiteral("随机插入尾巴"), 120, 1920, 1455, 255);
    Check1 = checkBox(this, "Check1", QStringLiteral("插入后直接回帖"), 1800, 1920, 1815, 255);
    Check2 = checkBox(this, "Check2", QStringLiteral("带上自己的尾巴"), 3720, 1920, 1575, 255);

    List1 = place<QListView>(this, "List1", 120, 2280, 7215, 5640);
    List1Model = new QStringListModel(this);
    List1->setModel(List1Model);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setUniformItemSizes(true); // 100 000 rows lay out at once

    Command2 = button(this, "Command2", QStringLiteral("签名大全"), 120, 8160, 1335, 495);
    Command4 = button(this, "Command4", QStringLiteral("使用说明"), 2120, 8160, 1335, 495);
    Command1 = button(this, "Command1", QStringLiteral("作者主页"), 4120, 8160, 1335, 495);
    Command3 = button(this, "Command3", QStringLiteral("后台运行"), 6120, 8160, 1215, 495);

    // Outside the client area: never seen, but part of the window and of the Tab order.
    Text4 = place<QLineEdit>(this, "Text4", 8040, 2400, 5295, 1095);
    Text4->setText(QStringLiteral("Text4"));
    Label4 = place<QLabel>(this, "Label4", 7800, 4320, 1095, 615);
    Label4->setText(QStringLiteral("Label4"));
    Label5 = place<QLabel>(this, "Label5", 7800, 4920, 1335, 855);
    Label5->setText(QStringLiteral("Label5"));
    Command11 = button(this, "Command11", QStringLiteral("Command11"), 8640, 600, 615, 375);
    Command14 = button(this, "Command14", QStringLiteral("Command14"), 10920, 720, 975, 735);
    Command12 = button(this, "Command12", QStringLiteral("Command12"), 10920, 8520, 615, 375);
    Command12->setVisible(false);
    Command13 = button(this, "Command13", QStringLiteral("Command13"), 11040, 10800, 735, 255);
    Command13->setVisible(false);
    Check3 = checkBox(this, "Check3", QStringLiteral("插入后直接回帖"), 13920, 10800, 1935, 255);

    Label1 = slotHeading(this, "Label1", QStringLiteral("①号小尾巴：F8"), 6360, 1470);
    Label2 = slotHeading(this, "Label2", QStringLiteral("②号小尾巴：F9"), 8640, 1470);
    Label3 = slotHeading(this, "Label3", QStringLiteral("③号小尾巴：F10"), 10800, 1575);
    Text1 = quickSlot(this, "Text1", 6720, QStringLiteral("22222222222\r\n"));
    Text2 = quickSlot(this, "Text2", 9000, QString());
    Text3 = quickSlot(this, "Text3", 11160, QString());
    Command5 = button(this, "Command5", kUnlockCaption, 8280, 120, 1095, 255);
    Command6 = button(this, "Command6", kUnlockCaption, 9600, 240, 1095, 255);
    Command7 = button(this, "Command7", kUnlockCaption, 10560, 240, 1095, 255);
    Command8 = button(this, "Command8", QStringLiteral("粘贴入内"), 12840, 6360, 855, 255);
    Command9 = button(this, "Command9", QStringLiteral("粘贴入内"), 12840, 8640, 855, 255);
    Command10 = button(this, "Command10", QStringLiteral("粘贴入内"), 12840, 10800, 855, 255);

    // Never enabled by anything; kept so the window holds every control it was designed with.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
}

void MainWindow::setFocusOrder() {
    const QList<QWidget*> order = {Command1,  Command2, Command4, Picture1, Command7,  Command5,
                                   Text1,     Text2,    Text3,    Command6, Check1,    Check2,
                                   Check3,    Command3, Command8, Command9, Command10, Command11,
                                   Command14, Check4,   List1,    Text4,    Command15, Text5};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    QWidget::setTabOrder(order.last(), order.first());
    for (QWidget* w : order) {
        if (w->focusPolicy() == Qt::NoFocus)
            w->setFocusPolicy(Qt::StrongFocus);
    }
}

void MainWindow::connectHandlers() {
    connect(Command1, &QPushButton::clicked, this, [this] { desktop_.openUrl(homePageUrl()); });
    connect(Command2, &QPushButton::clicked, this, &MainWindow::galleryRequested);
    connect(Command4, &QPushButton::clicked, this, &MainWindow::helpRequested);
    connect(Command3, &QPushButton::clicked, this, &MainWindow::backgroundRequested);
    connect(Command15, &QPushButton::clicked, this, [this] {
        engine_->chooser().restart();
        emit editorRequested();
    });
    connect(Command11, &QPushButton::clicked, this, &MainWindow::Command11_Click);
    connect(Command14, &QPushButton::clicked, this, &MainWindow::Command14_Click);
    connect(Check4, &QCheckBox::clicked, this, &MainWindow::Check4_Click);

    // A user's selection, by mouse or keyboard; reloads block the selection model's signals.
    connect(List1, &QListView::clicked, this,
            [this](const QModelIndex& index) { List1_Click(index.row()); });
    connect(List1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    List1_Click(current.row());
            });

    // LostFocus means the focus went to another widget of this program, not to another
    // application: switching to the browser must not reload the list.
    focusConnection_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            if (old == Command15 && now != nullptr && now != Command15)
                Command15_LostFocus();
        });

    connect(Command5, &QPushButton::clicked, this, [this] { lockToggle(Command5, Text1); });
    connect(Command6, &QPushButton::clicked, this, [this] { lockToggle(Command6, Text2); });
    connect(Command7, &QPushButton::clicked, this, [this] { lockToggle(Command7, Text3); });
    connect(Command8, &QPushButton::clicked, this, [this] { pasteInto(Text1); });
    connect(Command9, &QPushButton::clicked, this, [this] { pasteInto(Text2); });
    connect(Command10, &QPushButton::clicked, this, [this] { pasteInto(Text3); });
}

void MainWindow::load() {
    attachSkin(paths_.skinFile());
    engine_->chooser().resetRandomIndex();
    Text5->setText(ReadIni(QStringLiteral("t1"), QStringLiteral("t"), paths_.optionsFile()));
    reloadTailList();
    engine_->chooser().restart();
    applySwitch(Check1,
                ReadIni(QStringLiteral("peizhi"), QStringLiteral("Check1"), paths_.optionsFile()));
    applySwitch(Check2,
                ReadIni(QStringLiteral("peizhi"), QStringLiteral("Check2"), paths_.optionsFile()));
    applySwitch(Check4,
                ReadIni(QStringLiteral("peizhi"), QStringLiteral("weiba"), paths_.optionsFile()));

    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
    if (screen.isValid())
        move(screen.center() - QPoint(width() / 2, height() / 2));
    Command1->setFocus(Qt::OtherFocusReason);
}

void MainWindow::applySwitch(QCheckBox* box, const QString& stored) {
    if (const std::optional<bool> value = switchValue(stored))
        box->setChecked(*value);
}

QStringList MainWindow::tails() const {
    return List1Model->stringList();
}

void MainWindow::reloadTailList() {
    TailListContent content = loadTailListFile(paths_.tailListFile());
    tailListEncoding_ = content.encoding;
    const QSignalBlocker blockSelection(List1->selectionModel());
    List1Model->setStringList(content.tails);
}

void MainWindow::Command15_LostFocus() {
    reloadTailList();
    engine_->chooser().afterReload();
}

void MainWindow::List1_Click(int row) {
    engine_->chooser().selectRow(row);
}

void MainWindow::Check4_Click() {
    if (!Check4->isChecked())
        engine_->chooser().restart();
}

void MainWindow::Command11_Click() {
    desktop_.showMessage(this, kProgramTitle,
                         Check4->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void MainWindow::Command14_Click() {
    const int value = static_cast<int>(random_.next() * 3.0f) + 1;
    desktop_.showMessage(this, kProgramTitle, QString::number(value));
}

void MainWindow::lockToggle(QPushButton* button, QPlainTextEdit* slot) {
    const QuickSlotState state = toggleQuickSlot(button->text());
    button->setText(state.caption);
    slot->setReadOnly(state.readOnly);
    slot->setEnabled(state.enabled);
}

void MainWindow::pasteInto(QPlainTextEdit* slot) {
    slot->clear();
    QPointer<QPlainTextEdit> target(slot);
    desktop_.readClipboardText([target](std::optional<QString> text) {
        if (target && text)
            target->insertPlainText(*text);
    });
}

void MainWindow::saveOptions() {
    const StoredOptions options{Text5->text(), Check1->isChecked(), Check2->isChecked(),
                                Check4->isChecked()};
    if (const std::optional<QString> error = writeOptions(paths_.optionsFile(), options)) {
        desktop_.showMessage(this, kProgramTitle,
                             QStringLiteral("无法保存设置到 %1：%2")
                                 .arg(QDir::toNativeSeparators(paths_.optionsFile()), *error));
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        engine_->timer().stop();
        saveOptions();
        emit unloaded();
    }
    event->accept();
}

int MainWindow::rowCount() const {
    return List1Model->rowCount();
}

QString MainWindow::rowText(int row) const {
    const QStringList& rows = List1Model->stringList();
    return row >= 0 && row < rows.size() ? rows.at(row) : QString();
}

bool MainWindow::randomOrder() const {
    return Check4->isChecked();
}
bool MainWindow::appendOwnTail() const {
    return Check2->isChecked();
}
bool MainWindow::sendAfterInsert() const {
    return Check1->isChecked();
}
QString MainWindow::ownTail() const {
    return Text5->text();
}
void MainWindow::showComposed(const QString& text) {
    Text4->setText(text);
}

} // namespace qlq
