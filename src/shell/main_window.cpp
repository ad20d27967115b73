#include "shell/main_window.h"

#include "config/build_config.h"
#include "config/log_categories.h"
#include "config/web_addresses.h"
#include "data/options_file.h"
#include "data/tail_list_file.h"
#include "insert/quick_slot.h"
#include "platform/desktop_services.h"
#include "shell/main_window_names.h"
#include "shell/skin_engine.h"
#include "text/display_text.h"
#include "ui/program_title.h"
#include "ui/window_placement.h"

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
#include <QStringListModel>

namespace qlq {

MainWindow::MainWindow(DesktopServices& desktop, DataPaths paths, NextRandom& random,
                       QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      desktop_(desktop), paths_(std::move(paths)), random_(random) {
    setObjectName(QString::fromLatin1(main_window_names::kWindow));
    setWindowTitle(programTitle() + QStringLiteral("v%1版        %2")
                                        .arg(QString::fromLatin1(config::kShortVersion),
                                             QString::fromUtf8(config::kCredit)));
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

void MainWindow::connectHandlers() {
    connect(homePageButton_, &QPushButton::clicked, this,
            [this] { desktop_.openUrl(homePageUrl()); });
    connect(galleryButton_, &QPushButton::clicked, this, &MainWindow::galleryRequested);
    connect(helpButton_, &QPushButton::clicked, this, &MainWindow::helpRequested);
    connect(backgroundButton_, &QPushButton::clicked, this, &MainWindow::backgroundRequested);
    connect(editListButton_, &QPushButton::clicked, this, [this] {
        engine_->editorOpened();
        emit editorRequested();
    });
    connect(showRandomSwitchButton_, &QPushButton::clicked, this,
            &MainWindow::showRandomSwitchValue);
    connect(drawNumberButton_, &QPushButton::clicked, this, &MainWindow::showRandomDraw);
    connect(randomOrderBox_, &QCheckBox::clicked, this, &MainWindow::onRandomOrderClicked);

    // A user's selection, by mouse or keyboard; reloads block the selection model's signals.
    connect(tailListView_, &QListView::clicked, this,
            [this](const QModelIndex& index) { engine_->rowChosen(index.row()); });
    connect(tailListView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    engine_->rowChosen(current.row());
            });

    // LostFocus means the focus went to another widget of this program, not to another
    // application: switching to the browser must not reload the list.
    focusConnection_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            if (old == editListButton_ && now != nullptr && now != editListButton_)
                onEditListButtonLostFocus();
        });

    for (const QuickSlot& slot : quickSlots_) {
        connect(slot.lockButton, &QPushButton::clicked, this,
                [this, &slot] { toggleQuickSlotLock(slot); });
        connect(slot.pasteButton, &QPushButton::clicked, this,
                [this, &slot] { pasteClipboardInto(slot.text); });
    }
}

void MainWindow::load() {
    attachSkin(paths_.skinFile());
    const Options options = OptionsFile::load(paths_.optionsFile());
    storedOwnTail_ = options.ownTail;
    ownTailEdit_->setText(textForDisplay(options.ownTail));
    reloadTailList();
    // The start-up position (the next list-order press takes row 0) is the engine's own.
    for (const auto& [box, stored] : {std::pair{sendAfterInsertBox_, options.sendAfterInsert},
                                      std::pair{appendOwnTailBox_, options.appendOwnTail},
                                      std::pair{randomOrderBox_, options.randomOrder}}) {
        if (stored)
            box->setChecked(*stored);
    }
    centreOnScreen(*this);
    homePageButton_->setFocus(Qt::OtherFocusReason);
}

QStringList MainWindow::tails() const {
    return tailListModel_->stringList();
}

void MainWindow::reloadTailList() {
    TailListContent content = loadTailListFile(paths_.tailListFile());
    tailListEncoding_ = content.encoding;
    const QSignalBlocker blockSelection(tailListView_->selectionModel());
    tailListModel_->setStringList(content.tails);
    qCDebug(log::files, "tail list: %lld tails", static_cast<long long>(content.tails.size()));
}

void MainWindow::onEditListButtonLostFocus() {
    reloadTailList();
    engine_->listReloaded();
}

void MainWindow::onRandomOrderClicked() {
    if (!randomOrderBox_->isChecked())
        engine_->randomOrderTurnedOff();
}

void MainWindow::showRandomSwitchValue() {
    desktop_.showMessage(this, programTitle(),
                         randomOrderBox_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void MainWindow::showRandomDraw() {
    const int value = static_cast<int>(random_.next() * 3.0f) + 1;
    desktop_.showMessage(this, programTitle(), QString::number(value));
}

void MainWindow::toggleQuickSlotLock(const QuickSlot& slot) {
    const QuickSlotState state = toggleQuickSlot(slot.lockButton->text());
    slot.lockButton->setText(state.caption);
    slot.text->setReadOnly(state.readOnly);
    slot.text->setEnabled(state.enabled);
}

void MainWindow::pasteClipboardInto(QPlainTextEdit* slotText) {
    slotText->clear();
    QPointer<QPlainTextEdit> target(slotText);
    desktop_.readClipboardText([target](std::optional<QString> text) {
        if (target && text)
            target->insertPlainText(*text);
    });
}

void MainWindow::saveOptions() {
    const QString shown = ownTailEdit_->text();
    const Options options{shown == textForDisplay(storedOwnTail_) ? storedOwnTail_ : shown,
                          sendAfterInsertBox_->isChecked(), appendOwnTailBox_->isChecked(),
                          randomOrderBox_->isChecked()};
    if (const std::optional<QString> error = OptionsFile::save(paths_.optionsFile(), options)) {
        desktop_.showMessage(this, programTitle(),
                             QStringLiteral("无法保存设置到 %1：%2")
                                 .arg(QDir::toNativeSeparators(paths_.optionsFile()), *error));
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        engine_->stop();
        saveOptions();
        emit unloaded();
    }
    event->accept();
}

int MainWindow::rowCount() const {
    return tailListModel_->rowCount();
}

QString MainWindow::rowText(int row) const {
    const QStringList& rows = tailListModel_->stringList();
    return row >= 0 && row < rows.size() ? textForDisplay(rows.at(row)) : QString();
}

bool MainWindow::randomOrder() const {
    return randomOrderBox_->isChecked();
}

bool MainWindow::appendOwnTail() const {
    return appendOwnTailBox_->isChecked();
}

bool MainWindow::sendAfterInsert() const {
    return sendAfterInsertBox_->isChecked();
}

QString MainWindow::ownTail() const {
    return ownTailEdit_->text();
}

void MainWindow::showComposed(const QString& text) {
    composedTextBox_->setText(text);
}

} // namespace qlq
