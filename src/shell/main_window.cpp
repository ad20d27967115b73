#include "shell/main_window.h"

#include "config/build_config.h"
#include "config/log_categories.h"
#include "config/web_addresses.h"
#include "data/file_access.h"
#include "data/options_file.h"
#include "data/tail_list_file.h"
#include "data/tail_list_writer.h"
#include "insert/quick_slot.h"
#include "platform/desktop.h"
#include "shell/main_window_names.h"
#include "shell/skin_engine.h"
#include "shell/tail_list_model.h"
#include "shell/tail_list_view.h"
#include "text/display_text.h"
#include "ui/file_problem_text.h"
#include "ui/program_title.h"
#include "ui/window_placement.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace qlq {
namespace {

// The scratch box only mirrors the composed text, and nothing reads it back; a line box lays out
// all it holds, which for a tail of megabytes takes longer than the paste itself.
constexpr qsizetype kMirroredCharacters = 1000;

} // namespace

MainWindow::MainWindow(Desktop& desktop, DataPaths paths, NextRandom& random, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      shell_(desktop.shell()), paths_(std::move(paths)), random_(random) {
    setObjectName(QString::fromLatin1(main_window_names::kWindow));
    setWindowTitle(programTitle() + QStringLiteral("v%1版        %2")
                                        .arg(QString::fromLatin1(config::kShortVersion),
                                             QString::fromUtf8(config::kCredit)));
    setFixedSize(kClientWidth, kClientHeight);
    createControls();
    connectHandlers();
    engine_ = std::make_unique<InsertionEngine>(desktop.pressPath(),
                                                static_cast<InsertionControls&>(*this), random_);
}

MainWindow::~MainWindow() {
    // QWidget's destructor closes the window and moves the focus, which emits focusChanged
    // when this window's members are already gone.
    disconnect(focusConnection_);
}

void MainWindow::connectHandlers() {
    connect(homePageButton_, &QPushButton::clicked, this,
            [this] { shell_.openUrl(homePageUrl()); });
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

    // A user's selection, by mouse or keyboard (a click on the selected row included); a row
    // made current without a selection is not one. Reloads block the selection model's signals.
    connect(tailListView_, &TailListView::clicked, this,
            [this](const QModelIndex& index) { engine_->rowChosen(index.row()); });
    connect(tailListView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.indexes().isEmpty())
                    engine_->rowChosen(selected.indexes().first().row());
            });

    // LostFocus means the focus went to another widget of this program, not to another
    // application: switching to the browser must not reload the list.
    focusConnection_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            if (old == editListButton_ && now != nullptr && now != editListButton_)
                onEditListButtonLostFocus();
        });

    for (QuickSlot& slot : quickSlots_) {
        connect(slot.lockButton, &QPushButton::clicked, this,
                [this, &slot] { toggleQuickSlotLock(slot); });
        connect(slot.pasteButton, &QPushButton::clicked, this,
                [this, &slot] { pasteClipboardInto(slot); });
    }
}

void MainWindow::load() {
    // Saves cut off by a kill leave their temporary files behind; nothing else uses them.
    for (const QString& file : {paths_.optionsFile(), paths_.tailListFile(),
                                unsavedEditorTextFile(paths_.tailListFile())}) {
        if (const int removed = removeStaleSaveFiles(file))
            qCInfo(log::files, "removed %d unfinished save(s) of %ls", removed,
                   qUtf16Printable(file));
    }
    if (const std::optional<QString> refused = attachSkin(paths_.skinFile()))
        reportLater(*refused);
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
    tailLineEnds_ = std::move(content.lineEnds);
    const std::optional<FileProblem>& problem = content.problem;
    // Said once, not again at every reload that meets the same fault.
    if (problem && problem != tailListProblem_) {
        const QString reason = fileProblemText(*problem);
        qCWarning(log::files, "cannot read %ls: %ls", qUtf16Printable(paths_.tailListFile()),
                  qUtf16Printable(reason));
        reportLater(QStringLiteral("无法读取小尾巴列表 %1：%2\n列表暂时为空；在它能读取之前，"
                                   "编辑内容不会覆盖这个文件。")
                        .arg(QDir::toNativeSeparators(paths_.tailListFile()), reason));
    }
    tailListProblem_ = problem;
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
    shell_.showMessage(this, programTitle(),
                       randomOrderBox_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void MainWindow::showRandomDraw() {
    const int value = static_cast<int>(random_.next() * 3.0f) + 1;
    shell_.showMessage(this, programTitle(), QString::number(value));
}

void MainWindow::toggleQuickSlotLock(const QuickSlot& slot) {
    const QuickSlotState state = toggleQuickSlot(slot.lockButton->text());
    slot.lockButton->setText(state.caption);
    slot.text->setReadOnly(state.readOnly);
    slot.text->setEnabled(state.enabled);
}

void MainWindow::pasteClipboardInto(QuickSlot& slot) {
    slot.text->clear();
    // A second press supersedes the read of the first: the slot gets one copy of the text.
    const int request = ++slot.pasteRequest;
    QPointer<QPlainTextEdit> target(slot.text);
    shell_.readClipboardText([target, &slot, request](std::optional<QString> text) {
        if (!target || request != slot.pasteRequest)
            return;
        target->clear();
        if (text)
            target->insertPlainText(*text);
    });
}

void MainWindow::reportLater(const QString& text) {
    QTimer::singleShot(0, this, [this, text] { shell_.showMessage(this, programTitle(), text); });
}

void MainWindow::saveOptions() {
    const QString shown = ownTailEdit_->text();
    const Options options{shown == textForDisplay(storedOwnTail_) ? storedOwnTail_ : shown,
                          sendAfterInsertBox_->isChecked(), appendOwnTailBox_->isChecked(),
                          randomOrderBox_->isChecked()};
    if (const std::optional<FileProblem> problem =
            OptionsFile::save(paths_.optionsFile(), options)) {
        // A file that could not be read is kept as it is rather than replaced.
        const QString reason = problem->inReading()
                                   ? QStringLiteral("无法读取原有的文件（%1），未覆盖它")
                                         .arg(fileProblemText(*problem))
                                   : fileProblemText(*problem);
        shell_.showMessage(this, programTitle(),
                           QStringLiteral("无法保存设置到 %1：%2")
                               .arg(QDir::toNativeSeparators(paths_.optionsFile()), reason));
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
    composedTextBox_->setText(text.left(kMirroredCharacters));
}

} // namespace qlq
